#include <gtest/gtest.h>

#include <functional>

#include "builtin_call.h"
#include "com/object.h"
#include "script/objects/dictionary.h"

namespace qz::test {
namespace {

// Drives the dictionary through its dispatch interface, as a script does.
class DictionaryTest : public ::testing::Test {
 protected:
  Ref<Object> d = new_dictionary();

  Variant invoke(std::u16string_view member, CallKind kind, std::vector<Variant> args) {
    return d->invoke(d->find_member(member), kind, Args(args));
  }
  Variant call(std::u16string_view member, std::vector<Variant> args = {}) {
    return invoke(member, static_cast<CallKind>(kMethod | kGet), std::move(args));
  }
  void let_item(Variant key, Variant value) { invoke(u"Item", kLet, {key, value}); }
  Variant get_default(Variant key) {
    std::vector<Variant> args{key};
    return d->invoke(kDispValue, kGet, Args(args));
  }
  int error_of(std::function<void()> f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  std::string keys() { return describe(call(u"Keys")); }
  std::string items() { return describe(call(u"Items")); }
};

TEST_F(DictionaryTest, AddLookupAndOrder) {
  call(u"Add", {u"b", i16(2)});
  call(u"Add", {u"a", i16(1)});
  call(u"Add", {i16(3), u"three"});
  EXPECT_EQ(describe(call(u"Count")), "Long:3");
  EXPECT_EQ(keys(), "Variant()(b|a|3)");
  EXPECT_EQ(items(), "Variant()(2|1|three)");
  EXPECT_EQ(describe(get_default(u"a")), "Integer:1");
  EXPECT_EQ(describe(call(u"Item", {3.0})), "String:three");
  EXPECT_EQ(describe(call(u"Exists", {u"3"})), "Boolean:False");
  EXPECT_EQ(describe(call(u"Exists", {i32(3)})), "Boolean:True");
  EXPECT_EQ(error_of([&] { call(u"Add", {u"a", i16(9)}); }), 457);
  EXPECT_EQ(error_of([&] { call(u"Add", {3.0, i16(9)}); }), 457);
  EXPECT_EQ(describe(call(u"Keys")), "Variant()(b|a|3)");
  EXPECT_EQ(call(u"Keys").as_array()->items[2].type(), VT::Integer);  // the key as first given
}

TEST_F(DictionaryTest, ReadingAMissingKeyAddsIt) {
  EXPECT_TRUE(get_default(u"ghost").is_empty());
  EXPECT_EQ(describe(call(u"Count")), "Long:1");
  EXPECT_EQ(describe(call(u"Exists", {u"ghost"})), "Boolean:True");
}

TEST_F(DictionaryTest, ItemAssignmentAddsOrReplaces) {
  let_item(u"k", i16(1));
  let_item(u"k", i16(2));
  let_item(u"j", u"x");
  EXPECT_EQ(keys(), "Variant()(k|j)");
  EXPECT_EQ(items(), "Variant()(2|x)");
  Ref<Object> inner = new_dictionary();
  invoke(u"Item", kSet, {u"obj", Variant(inner)});
  Variant got = get_default(u"obj");
  ASSERT_TRUE(got.is_object());
  EXPECT_EQ(got.as_object(), inner.get());
}

TEST_F(DictionaryTest, RenameRemoveAndErrors) {
  call(u"Add", {u"a", i16(1)});
  call(u"Add", {u"b", i16(2)});
  call(u"Add", {u"c", i16(3)});
  invoke(u"Key", kLet, {u"b", u"B2"});
  EXPECT_EQ(keys(), "Variant()(a|B2|c)");
  EXPECT_EQ(describe(get_default(u"B2")), "Integer:2");
  EXPECT_EQ(error_of([&] { invoke(u"Key", kLet, {u"zz", u"y"}); }), 32811);
  EXPECT_EQ(error_of([&] { invoke(u"Key", kLet, {u"a", u"c"}); }), 457);
  call(u"Remove", {u"a"});
  EXPECT_EQ(keys(), "Variant()(B2|c)");
  EXPECT_EQ(error_of([&] { call(u"Remove", {u"a"}); }), 32811);
  call(u"Add", {u"a", i16(4)});
  EXPECT_EQ(keys(), "Variant()(B2|c|a)");
  call(u"RemoveAll");
  EXPECT_EQ(describe(call(u"Count")), "Long:0");
  EXPECT_EQ(keys(), "Variant()()");
  EXPECT_EQ(error_of([&] { call(u"Item", {}); }), 450);
}

TEST_F(DictionaryTest, CompareMode) {
  EXPECT_EQ(describe(call(u"CompareMode")), "Long:0");
  call(u"Add", {u"Key", i16(1)});
  EXPECT_EQ(describe(call(u"Exists", {u"KEY"})), "Boolean:False");
  EXPECT_EQ(error_of([&] { invoke(u"CompareMode", kLet, {i16(1)}); }), 5);
  call(u"RemoveAll");
  invoke(u"CompareMode", kLet, {i16(1)});
  call(u"Add", {u"Ключ", i16(1)});
  EXPECT_EQ(describe(call(u"Exists", {u"КЛЮЧ"})), "Boolean:True");
  EXPECT_EQ(error_of([&] { call(u"Add", {u"ключ", i16(2)}); }), 457);
  EXPECT_EQ(keys(), "Variant()(Ключ)");
}

TEST_F(DictionaryTest, KeysOfEveryKind) {
  Ref<Object> o1 = new_dictionary(), o2 = new_dictionary();
  call(u"Add", {Variant(o1), u"first"});
  call(u"Add", {Variant(o2), u"second"});
  call(u"Add", {Variant(), u"empty"});
  call(u"Add", {null(), u"null"});
  call(u"Add", {true, u"true"});
  EXPECT_EQ(describe(get_default(Variant(o2))), "String:second");
  EXPECT_EQ(describe(get_default(i16(-1))), "String:true");  // True is -1
  EXPECT_EQ(describe(get_default(Variant())), "String:empty");
  EXPECT_EQ(describe(get_default(null())), "String:null");
  // Byte strings keep their odd byte: "A" plus one byte differs from "A".
  uint8_t raw[] = {0x41, 0x00, 0x01};
  call(u"Add", {Variant(Str::from_bytes(raw, 3)), u"odd"});
  call(u"Add", {u"A", u"even"});
  EXPECT_EQ(describe(get_default(Variant(Str::from_bytes(raw, 3)))), "String:odd");
  EXPECT_EQ(error_of([&] { call(u"Add", {call_builtin(u"Array", {}), i16(1)}); }), 13);
}

TEST_F(DictionaryTest, TextCompareFoldsAByteStringAndKeepsItsOddByte) {
  invoke(u"CompareMode", kLet, {i32(1)});
  uint8_t upper[] = {0x41, 0x00, 0x01}, lower[] = {0x61, 0x00, 0x01}, other[] = {0x61, 0x00, 0x02};
  call(u"Add", {Variant(Str::from_bytes(upper, 3)), u"odd"});
  EXPECT_EQ(describe(call(u"Exists", {Variant(Str::from_bytes(lower, 3))})), "Boolean:True");
  EXPECT_EQ(describe(call(u"Exists", {Variant(Str::from_bytes(other, 3))})), "Boolean:False");
  EXPECT_EQ(describe(call(u"Exists", {u"a"})), "Boolean:False");
  EXPECT_EQ(error_of([&] { call(u"Add", {Variant(Str::from_bytes(lower, 3)), u"again"}); }), 457);
}

TEST_F(DictionaryTest, ForEachVisitsKeysInOrder) {
  call(u"Add", {u"x", i16(1)});
  call(u"Add", {u"y", i16(2)});
  Ref<Enumerator> e = d->enumerate();
  ASSERT_TRUE(e);
  std::string seen;
  Variant k;
  while (e->next(k)) seen += describe(k) + ";";
  EXPECT_EQ(seen, "String:x;String:y;");
}

TEST_F(DictionaryTest, ManyKeysStayFast) {
  for (int32_t i = 0; i < 20000; ++i) call(u"Add", {i32(i), i32(i * 2)});
  for (int32_t i = 0; i < 20000; i += 2) call(u"Remove", {i32(i)});
  EXPECT_EQ(describe(call(u"Count")), "Long:10000");
  EXPECT_EQ(describe(get_default(19999.0)), "Long:39998");
  EXPECT_EQ(call(u"Keys").as_array()->items[0].as_long(), 1);
}

}  // namespace
}  // namespace qz::test
