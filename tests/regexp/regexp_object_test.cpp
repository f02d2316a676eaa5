// The RegExp script object and its result objects, driven through dispatch as a script would.
#include "script/regexp/regexp_object.h"

#include <gtest/gtest.h>

#include "com/error.h"

namespace qz {
namespace {

Variant get_default(Object& o, std::vector<Variant> args) {
  return o.invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), Args(args));
}

std::u16string str(const Variant& v) {
  EXPECT_TRUE(v.is_string()) << "VarType " << static_cast<int>(v.type());
  return std::u16string(v.str_view());
}

int32_t num(const Variant& v) {
  EXPECT_TRUE(v.is(VT::Long)) << "VarType " << static_cast<int>(v.type());
  return v.as_long();
}

int32_t error_number(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

class RegExpObjectTest : public testing::Test {
 protected:
  Ref<Object> rx = new_regexp_object();

  Ref<Object> execute(std::u16string_view pattern, std::u16string_view text, bool global = true) {
    rx->let(u"Pattern", Variant(pattern));
    rx->let(u"Global", Variant(global));
    Variant r = rx->call(u"Execute", {Variant(text)});
    EXPECT_TRUE(r.is_object());
    return Ref<Object>(r.as_object());
  }
};

TEST_F(RegExpObjectTest, PropertiesStartEmptyAndRoundTrip) {
  EXPECT_EQ(rx->type_name(), u"IRegExp2");
  EXPECT_EQ(str(rx->get(u"Pattern")), u"");
  for (const char16_t* name : {u"Global", u"IgnoreCase", u"MultiLine"}) {
    Variant v = rx->get(name);
    ASSERT_TRUE(v.is(VT::Boolean)) << std::string(name, name + 1);
    EXPECT_FALSE(v.as_bool());
    rx->let(name, Variant(int32_t{-1}));  // any non-zero number is True
    EXPECT_TRUE(rx->get(name).as_bool());
  }
  rx->let(u"pattern", Variant(u"a+"));  // names ignore case
  EXPECT_EQ(str(rx->get(u"PATTERN")), u"a+");
}

TEST_F(RegExpObjectTest, TestAndReplaceFollowTheSettings) {
  rx->let(u"Pattern", Variant(u"B"));
  EXPECT_FALSE(rx->call(u"Test", {Variant(u"abc")}).as_bool());
  rx->let(u"IgnoreCase", Variant(true));
  EXPECT_TRUE(rx->call(u"Test", {Variant(u"abc")}).as_bool());
  rx->let(u"Pattern", Variant(u"\\d"));
  EXPECT_EQ(str(rx->call(u"Replace", {Variant(u"a1b2"), Variant(u"#")})), u"a#b2");
  rx->let(u"Global", Variant(true));
  EXPECT_EQ(str(rx->call(u"Replace", {Variant(u"a1b2"), Variant(u"<$&>")})), u"a<1>b<2>");
  // Numbers are converted to text on the way in.
  EXPECT_EQ(str(rx->call(u"Replace", {Variant(int32_t{1020}), Variant(int32_t{7})})), u"7777");
}

TEST_F(RegExpObjectTest, MatchCollectionAndMatches) {
  Ref<Object> matches = execute(u"(\\w)(\\d)?", u"a1 b");
  EXPECT_EQ(matches->type_name(), u"IMatchCollection2");
  ASSERT_EQ(num(matches->get(u"Count")), 2);

  Variant first = get_default(*matches, {Variant(int32_t{0})});
  ASSERT_TRUE(first.is_object());
  Object& m = *first.as_object();
  EXPECT_EQ(m.type_name(), u"IMatch2");
  EXPECT_EQ(num(m.get(u"FirstIndex")), 0);
  EXPECT_EQ(num(m.get(u"Length")), 2);
  EXPECT_EQ(str(m.get(u"Value")), u"a1");
  EXPECT_EQ(str(get_default(m, {})), u"a1");

  Object& second = *matches->get(u"Item", {Variant(int16_t{1})}).as_object();
  EXPECT_EQ(num(second.get(u"FirstIndex")), 3);
  Variant subs_v = second.get(u"SubMatches");
  ASSERT_TRUE(subs_v.is_object());
  Object& subs = *subs_v.as_object();
  EXPECT_EQ(subs.type_name(), u"ISubMatches");
  EXPECT_EQ(num(subs.get(u"Count")), 2);
  EXPECT_EQ(str(get_default(subs, {Variant(int32_t{0})})), u"b");
  EXPECT_TRUE(subs.get(u"Item", {Variant(int32_t{1})}).is_empty());  // group did not take part
  // m.SubMatches(0) as a script writes it: the index goes to the collection's default member.
  EXPECT_EQ(str(second.get(u"SubMatches", {Variant(int32_t{0})})), u"b");
}

TEST_F(RegExpObjectTest, ItemsKeepTheirIdentity) {
  Ref<Object> matches = execute(u"a", u"aa");
  Variant a = matches->get(u"Item", {Variant(int32_t{1})});
  Variant b = get_default(*matches, {Variant(int32_t{1})});
  EXPECT_EQ(a.as_object(), b.as_object());
  EXPECT_EQ(a.as_object()->get(u"SubMatches").as_object(), b.as_object()->get(u"SubMatches").as_object());
}

TEST_F(RegExpObjectTest, ForEachVisitsEveryItem) {
  Ref<Object> matches = execute(u"(\\d)(x)?", u"1 2x 3");
  Ref<Enumerator> e = matches->enumerate();
  ASSERT_TRUE(e);
  std::u16string seen;
  Variant item;
  while (e->next(item)) {
    Object& m = *item.as_object();
    seen += str(m.get(u"Value")) + u"[";
    Ref<Enumerator> sub = m.get(u"SubMatches").as_object()->enumerate();
    Variant s;
    while (sub->next(s)) seen += s.is_empty() ? u"~" : str(s);
    seen += u"]";
  }
  EXPECT_EQ(seen, u"1[1~]2x[2x]3[3~]");
}

TEST_F(RegExpObjectTest, ResultsOutliveTheRegExpAndLaterChanges) {
  Ref<Object> matches = execute(u"b+", u"abbc");
  rx->let(u"Pattern", Variant(u"z"));
  rx = nullptr;
  ASSERT_EQ(num(matches->get(u"Count")), 1);
  EXPECT_EQ(str(get_default(*get_default(*matches, {Variant(int32_t{0})}).as_object(), {})), u"bb");
}

TEST_F(RegExpObjectTest, Errors) {
  Ref<Object> matches = execute(u"a", u"a");
  EXPECT_EQ(error_number([&] { matches->get(u"Item", {Variant(int32_t{1})}); }), kErrIllegalCall);
  EXPECT_EQ(error_number([&] { matches->get(u"Item", {Variant(int32_t{-1})}); }), kErrIllegalCall);
  EXPECT_EQ(error_number([&] { matches->get(u"Item"); }), kErrArgCount);
  EXPECT_EQ(error_number([&] { rx->call(u"Test"); }), kErrArgCount);
  EXPECT_EQ(error_number([&] { rx->call(u"Replace", {Variant(u"a")}); }), kErrArgCount);
  EXPECT_EQ(error_number([&] { rx->call(u"NoSuchMember"); }), kErrNoSuchMember);
  rx->let(u"Pattern", Variant(u"a)"));
  EXPECT_EQ(error_number([&] { rx->call(u"Test", {Variant(u"a")}); }), 5017);
  EXPECT_EQ(error_number([&] { rx->call(u"Execute", {Variant(u"a")}); }), 5017);
  rx->let(u"Pattern", Variant(u"(a"));
  EXPECT_EQ(error_number([&] { rx->call(u"Replace", {Variant(u"a"), Variant(u"b")}); }), 5020);
}

// A stand-in for a function reference: its default member joins its arguments with "/".
class Joiner : public NativeObject<Joiner> {
 public:
  static void define(Members<Joiner>& m) {
    m.method(u"Call", [](Joiner& j, Args a) {
      ++j.calls;
      std::u16string out;
      for (size_t i = 0; i < a.size(); ++i) {
        if (i) out += u"/";
        const Variant& v = a[i];
        if (v.is_empty()) out += u"~";
        else if (v.is(VT::Long)) out += std::u16string(1, u'0' + v.as_long());
        else out += std::u16string(v.str_view());
      }
      return Variant(u"<" + out + u">");
    });
    m.default_member(u"Call");
  }
  std::u16string type_name() const override { return u"Joiner"; }
  int calls = 0;
};

TEST_F(RegExpObjectTest, ReplaceWithAFunction) {
  Ref<Joiner> fn(new Joiner());
  rx->let(u"Pattern", Variant(u"(\\d)(x)?"));
  rx->let(u"Global", Variant(true));
  Variant out = rx->call(u"Replace", {Variant(u"a1b2x"), Variant(fn)});
  EXPECT_EQ(str(out), u"a<1/1/~/1/a1b2x>b<2x/2/x/3/a1b2x>");
  EXPECT_EQ(fn->calls, 2);
}

}  // namespace
}  // namespace qz
