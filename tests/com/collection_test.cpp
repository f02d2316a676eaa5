// Collection as scripts use it: Add with keys and positions, Item, Remove, Count, For Each.
#include "com/collection.h"

#include <gtest/gtest.h>

#include "com/convert.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::error_of;
using testing::Holder;

Variant L(int32_t v) { return Variant(v); }
Variant S(const char16_t* s) { return Variant(s); }
const Variant kMissing = Variant::missing();

class CollectionTest : public ::testing::Test {
 protected:
  // Add(item, [key], [before], [after]) the way a script call arrives.
  void add(Variant item, Variant key = kMissing, Variant before = kMissing, Variant after = kMissing) {
    col->call(u"Add", {std::move(item), std::move(key), std::move(before), std::move(after)});
  }
  Variant item(Variant index) { return col->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), args(index)); }
  int32_t count() { return col->get(u"Count").as_long(); }
  // The items in order as text: "a,b,c".
  std::string order() {
    std::string out;
    Ref<Enumerator> e = col->enumerate();
    Variant v;
    while (e->next(v)) out += (out.empty() ? "" : ",") + to_str(v).utf8();
    return out;
  }
  Args args(Variant& v) { return Args(&v, 1); }

  Ref<Object> col = new_collection();
};

TEST_F(CollectionTest, AddsInOrderAndReadsByPositionOrKey) {
  add(S(u"a"));
  add(S(u"b"), S(u"KeyB"));
  add(L(3), S(u"three"));
  EXPECT_EQ(count(), 3);
  EXPECT_EQ(col->type_name(), u"Collection");
  EXPECT_EQ(order(), "a,b,3");
  EXPECT_EQ(to_u16(item(L(1))), u"a");
  EXPECT_EQ(to_u16(item(Variant(2.0))), u"b");
  EXPECT_EQ(to_u16(item(S(u"keyb"))), u"b");     // keys ignore case
  EXPECT_EQ(to_u16(item(S(u"THREE"))), u"3");
  EXPECT_EQ(to_u16(col->call(u"item", {S(u"Three")})), u"3");
  EXPECT_EQ(item(S(u"three")).type(), VT::Long);  // items keep their subtype
}

TEST_F(CollectionTest, BadPositionsAndKeys) {
  add(S(u"a"), S(u"k"));
  struct Case {
    const char* what;
    Variant index;
    int err;
  };
  const Case cases[] = {
      {"0", L(0), 9},
      {"2 (past the end)", L(2), 9},
      {"-1", L(-1), 9},
      {"unknown key", S(u"nope"), 5},
      {"\"1\" is a key, not a position", S(u"1"), 5},
      {"Null", Variant::null(), 94},
      {"Empty", Variant(), 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Variant index = c.index;
    EXPECT_EQ(error_of([&] { item(index); }), c.err);
    EXPECT_EQ(error_of([&] { col->call(u"Remove", {index}); }), c.err);
  }
  EXPECT_EQ(count(), 1);
  // Used as a plain value (no index) and with too many indices.
  EXPECT_EQ(error_of([&] { value_of(Variant(col)); }), 450);
  EXPECT_EQ(error_of([&] { col->call(u"Item", {L(1), L(1)}); }), 450);
}

TEST_F(CollectionTest, DuplicateKeysAreRefusedWithoutRegardToCase) {
  add(S(u"a"), S(u"Key"));
  EXPECT_EQ(error_of([&] { add(S(u"b"), S(u"KEY")); }), 457);
  EXPECT_EQ(count(), 1);
  add(S(u"c"), S(u"Key2"));
  add(S(u"d"));  // items without keys never clash
  add(S(u"e"));
  EXPECT_EQ(order(), "a,c,d,e");
}

TEST_F(CollectionTest, KeysMustBeText) {
  EXPECT_EQ(error_of([&] { add(S(u"a"), L(5)); }), 13);
  EXPECT_EQ(error_of([&] { add(S(u"a"), Variant::null()); }), 94);
  add(S(u"a"), Variant(make_ref<Holder>(S(u"fromdefault"))));
  EXPECT_EQ(to_u16(item(S(u"FromDefault"))), u"a");
  EXPECT_EQ(count(), 1);
}

TEST_F(CollectionTest, BeforeAndAfter) {
  add(S(u"b"), S(u"kb"));
  add(S(u"d"));
  add(S(u"a"), kMissing, L(1));            // before position 1
  EXPECT_EQ(order(), "a,b,d");
  add(S(u"c"), kMissing, S(u"KB"), kMissing);  // before a key
  EXPECT_EQ(order(), "a,c,b,d");
  col->call(u"Remove", {L(2)});
  add(S(u"c"), S(u"kc"), kMissing, S(u"kb"));  // after key
  EXPECT_EQ(order(), "a,b,c,d");
  add(S(u"e"), kMissing, kMissing, L(4));   // after the last
  EXPECT_EQ(order(), "a,b,c,d,e");
  EXPECT_EQ(to_u16(item(S(u"kc"))), u"c");

  struct Case {
    const char* what;
    Variant before, after;
  };
  const Case bad[] = {
      {"both", L(1), L(1)},
      {"before 0", L(0), kMissing},
      {"before past the end", L(6), kMissing},
      {"after past the end", kMissing, L(6)},
      {"unknown key", S(u"zz"), kMissing},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(error_of([&] { add(S(u"x"), kMissing, c.before, c.after); }), 5);
  }
  EXPECT_EQ(order(), "a,b,c,d,e");
  EXPECT_EQ(error_of([&] { add(S(u"x"), S(u"newkey"), L(9)); }), 5);
  EXPECT_EQ(error_of([&] { item(S(u"newkey")); }), 5);  // a failed Add leaves no key behind
}

TEST_F(CollectionTest, RemoveShiftsPositionsAndFreesKeys) {
  add(S(u"a"), S(u"ka"));
  add(S(u"b"), S(u"kb"));
  add(S(u"c"), S(u"kc"));
  col->call(u"Remove", {S(u"KB")});
  EXPECT_EQ(order(), "a,c");
  EXPECT_EQ(to_u16(item(L(2))), u"c");
  EXPECT_EQ(to_u16(item(S(u"kc"))), u"c");
  col->call(u"Remove", {L(1)});
  EXPECT_EQ(order(), "c");
  add(S(u"a2"), S(u"ka"));  // the removed key is free again
  EXPECT_EQ(to_u16(item(S(u"KA"))), u"a2");
  EXPECT_EQ(count(), 2);
}

TEST_F(CollectionTest, HoldsObjectsAndReleasesThemOnRemove) {
  auto h = make_ref<Holder>(L(1));
  add(Variant(h));
  EXPECT_EQ(h->ref_count(), 2u);
  Variant got = item(L(1));
  ASSERT_TRUE(got.is_object());
  EXPECT_EQ(got.as_object(), h.get());
  got = Variant();
  col->call(u"Remove", {L(1)});
  EXPECT_EQ(h->ref_count(), 1u);
}

TEST_F(CollectionTest, AddStoresTheValueNotTheReference) {
  Variant var(S(u"first"));
  Variant cell = Variant::by_ref(&var);
  col->call(u"Add", {cell});
  var = S(u"changed");
  EXPECT_EQ(to_u16(item(L(1))), u"first");
}

TEST_F(CollectionTest, ForEachWalksASnapshot) {
  add(S(u"a"));
  add(S(u"b"));
  Ref<Enumerator> e = col->enumerate();
  col->call(u"Remove", {L(1)});
  add(S(u"c"));
  std::string seen;
  Variant v;
  while (e->next(v)) seen += to_str(v).utf8();
  EXPECT_EQ(seen, "ab");
  EXPECT_EQ(order(), "b,c");
}

TEST_F(CollectionTest, ArgumentCounts) {
  EXPECT_EQ(error_of([&] { col->call(u"Add", {}); }), 449);
  EXPECT_EQ(error_of([&] { col->call(u"Add", {kMissing, S(u"k")}); }), 449);
  EXPECT_EQ(error_of([&] { col->call(u"Add", {L(1), kMissing, kMissing, kMissing, L(1)}); }), 450);
  EXPECT_EQ(error_of([&] { col->call(u"Remove", {}); }), 449);
  EXPECT_EQ(error_of([&] { col->get(u"Count", {L(1)}); }), 450);
  EXPECT_EQ(error_of([&] { col->call(u"Clear"); }), 438);
  EXPECT_EQ(count(), 0);
}

TEST(CollectionApi, NativeCallersBuildKeyedResults) {
  auto c = make_ref<Collection>();
  c->add(Variant(int32_t{100}), u"Total");
  c->add(Variant(int32_t{40}), u"Free");
  c->add(Variant(u"plain"));
  EXPECT_EQ(c->count(), 3u);
  ASSERT_NE(c->find(u"free"), nullptr);
  EXPECT_EQ(c->find(u"FREE")->as_long(), 40);
  EXPECT_EQ(c->find(u"Used"), nullptr);
  EXPECT_EQ(c->at(1).as_long(), 100);
  EXPECT_EQ(error_of([&] { c->at(4); }), 9);
  EXPECT_EQ(error_of([&] { c->add(Variant(), u"total"); }), 457);
  std::u16string_view key = u"First";
  c->insert(0, Variant(int32_t{1}), &key);
  EXPECT_EQ(c->at(1).as_long(), 1);
  EXPECT_EQ(c->item(Variant(u"first")).as_long(), 1);
}

}  // namespace
}  // namespace qz
