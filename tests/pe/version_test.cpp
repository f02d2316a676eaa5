// Version blocks and version trees: byte-exact round trips of the generator's block, the tree a
// read gives, the edits a write carries, and the tree operations scripts and make rely on.
#include <gtest/gtest.h>

#include <random>

#include "com/collection.h"
#include "com/convert.h"
#include "formats/pe/le_bytes.h"
#include "formats/pe/native_res_object.h"
#include "formats/pe/resource_edits.h"
#include "formats/pe/version_block.h"
#include "formats/pe/version_tree.h"
#include "pe_fixtures.h"

namespace qz::pe {
namespace {

Collection* coll(const Variant& v) { return dynamic_cast<Collection*>(v.deref().as_object()); }
const Variant& at_key(const Variant& c, std::u16string_view key) {
  const Variant* v = coll(c)->find(key);
  EXPECT_TRUE(v) << std::string(key.begin(), key.end());
  static const Variant empty;
  return v ? *v : empty;
}
std::u16string text(const Variant& v) { return to_u16(v); }

Variant read_tree(const std::string& block_bytes) {
  auto block = parse_version_block(block_bytes);
  EXPECT_TRUE(block);
  Variant tree;
  EXPECT_FALSE(new_version_tree(tree));
  read_version_tree(tree, *block);
  return tree;
}

std::string write_tree(const std::string& block_bytes, const Variant& tree) {
  auto block = parse_version_block(block_bytes);
  apply_version_tree(tree, *block);
  auto out = build_version_block(*block);
  EXPECT_TRUE(out);
  return out ? *out : std::string();
}

TEST(VersionBlock, TheHostBlockReadsIntoATreeAndWritesBackByteForByte) {
  const std::string bytes = test::fixture("host_version.bin");
  Variant tree = read_tree(bytes);
  EXPECT_EQ(coll(tree)->count(), 18u);
  EXPECT_EQ(text(coll(at_key(tree, u"EnumLng"))->at(1)), u"040904B0");
  EXPECT_EQ(coll(at_key(tree, u"EnumLng"))->count(), 1u);
  EXPECT_EQ(text(coll(at_key(tree, u"EnumTables"))->at(1)), u"040904B0");
  const Variant& table = at_key(at_key(tree, u"Tables"), u"040904b0");
  ASSERT_EQ(coll(table)->count(), 8u);
  EXPECT_EQ(text(at_key(coll(table)->at(1), u"Key")), u"Comments");
  EXPECT_EQ(text(at_key(coll(table)->at(1), u"Value")), u"");  // an empty value: only its 0
  EXPECT_EQ(text(at_key(at_key(table, u"ProductName"), u"Value")), u"Quazel");
  // Fixed information as 32-bit signed numbers, moved behind "EnumTables" by the read.
  EXPECT_EQ(to_long(at_key(tree, u"dwSignature")), static_cast<int32_t>(0xFEEF04BD));
  EXPECT_EQ(to_long(coll(tree)->at(6)), static_cast<int32_t>(0xFEEF04BD));
  EXPECT_EQ(to_long(at_key(tree, u"dwFileVersionLS")), 123);

  // Written back unchanged: the same bytes.
  EXPECT_EQ(write_tree(bytes, tree), bytes);
}

TEST(VersionBlock, StringInfoFirstAndManyTranslationsReadTheSameWay) {
  std::string image = test::fixture("pe32_sfi_first.exe"), error;
  auto bytes = get_resource(image, ResourceId::number(16), ResourceId::number(1), 0, error);
  ASSERT_TRUE(bytes) << error;
  Variant tree = read_tree(*bytes);
  Collection* langs = coll(at_key(tree, u"EnumLng"));
  ASSERT_EQ(langs->count(), 6u);
  EXPECT_EQ(text(langs->at(2)), u"041904E3");
  EXPECT_EQ(text(langs->at(3)), u"00010000");
  EXPECT_EQ(coll(at_key(at_key(tree, u"Tables"), u"040904B0"))->count(), 2u);

  // Written back with VarFileInfo first; reading that gives the same tree again.
  std::string out = write_tree(*bytes, tree);
  EXPECT_EQ(out.size(), bytes->size());
  EXPECT_EQ(get16(out, 92 + 6), u'V');
  auto again = parse_version_block(out);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->translations, parse_version_block(*bytes)->translations);
  EXPECT_EQ(again->tables.size(), 1u);
}

TEST(VersionBlock, EditsInTheTreeReachTheBlock) {
  const std::string bytes = test::fixture("host_version.bin");
  Variant tree = read_tree(bytes);
  // Translations in the order of "EnumLng".
  Collection* langs = coll(at_key(tree, u"EnumLng"));
  langs->remove(Variant(int32_t{1}));
  langs->add(Variant(u"041904E3"), u"041904E3");
  langs->add(Variant(u"040904B0"), u"040904B0");
  // A new string with a three-character value; a changed one; a removed one.
  edit_version_tree(tree, u"add", u"Tables", u"040904B0", u"Extra", Variant(u"abc"));
  edit_version_tree(tree, u"set", u"Tables", u"040904B0", u"CompanyName", Variant(u"Другая"));
  edit_version_tree(tree, u"remove", u"Tables", u"040904B0", u"Comments", Variant(u"x"));
  // Fixed information: Empty, decimal text, hexadecimal text, text that is no number.
  modify_member(tree, u"dwFileFlags", Variant(u"65536"));
  modify_member(tree, u"dwFileSubtype", Variant(u"&H10000"));
  coll(tree)->remove(Variant(u"dwFileOS"));
  coll(tree)->add(Variant(), u"dwFileOS");
  modify_member(tree, u"dwFileType", Variant(u"not a number"));

  auto block = parse_version_block(write_tree(bytes, tree));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->translations, (std::vector<uint32_t>{0x04E30419, 0x04B00409}));
  EXPECT_EQ(block->fixed(7), 65536u);
  EXPECT_EQ(block->fixed(10), 65536u);
  EXPECT_EQ(block->fixed(8), 0u);
  EXPECT_EQ(block->fixed(9), 1u);  // kept as read
  ASSERT_EQ(block->tables.size(), 1u);
  const auto& strings = block->tables[0].strings;
  ASSERT_EQ(strings.size(), 8u);
  EXPECT_EQ(strings.front().key, u"CompanyName");  // Comments removed; a changed string keeps its place
  EXPECT_EQ(strings.front().value, u"Другая");
  EXPECT_EQ(strings.back().key, u"Extra");
  EXPECT_EQ(get16(std::string(strings.back().header.data(), 6), 2), 8u);  // three characters and the 0, in bytes
}

TEST(VersionTree, NewVersionTreeCompletesAndDecidesReadOrWrite) {
  Variant tree;
  EXPECT_FALSE(new_version_tree(tree));
  Collection* c = coll(tree);
  ASSERT_TRUE(c);
  ASSERT_EQ(c->count(), 18u);
  for (size_t i = 1; i <= 15; ++i) EXPECT_TRUE(c->at(i).is_empty()) << i;
  for (size_t i = 16; i <= 18; ++i) EXPECT_TRUE(c->at(i).is_object()) << i;
  EXPECT_EQ(c->at(16).as_object(), at_key(tree, u"Tables").as_object());
  EXPECT_EQ(c->at(18).as_object(), at_key(tree, u"EnumTables").as_object());

  // A table makes it a write; the lists stay as the caller left them, even empty.
  modify_member(tree, u"SaveLng", Variant(int32_t{7}));
  coll(at_key(tree, u"Tables"))->add(Variant(new_collection()), u"040904B0");
  Object* langs = at_key(tree, u"EnumLng").as_object();
  EXPECT_TRUE(new_version_tree(tree));
  EXPECT_EQ(at_key(tree, u"EnumLng").as_object(), langs);

  // No table: a read, which starts from empty lists and keeps every other value.
  Variant other;
  new_version_tree(other);
  coll(at_key(other, u"EnumLng"))->add(Variant(u"040904B0"));
  modify_member(other, u"SaveLng", Variant(int32_t{9}));
  EXPECT_FALSE(new_version_tree(other));
  EXPECT_EQ(coll(at_key(other, u"EnumLng"))->count(), 0u);
  EXPECT_EQ(to_long(at_key(other, u"SaveLng")), 9);
}

TEST(VersionTree, ModifyMemberAddsReplacesAndKeeps) {
  Variant c(new_collection());
  modify_member(c, u"A", Variant());
  EXPECT_TRUE(at_key(c, u"A").is_empty());  // added even when Empty
  modify_member(c, u"B", Variant(int32_t{5}));
  modify_member(c, u"B", Variant());
  EXPECT_EQ(to_long(at_key(c, u"B")), 5);  // Empty only reads
  modify_member(c, u"NAME", Variant(int32_t{1}));
  modify_member(c, u"Tail", Variant(int32_t{2}));
  modify_member(c, u"name", Variant(int32_t{7}));  // same key in another case: replaced, moved last
  EXPECT_EQ(coll(c)->count(), 4u);
  EXPECT_EQ(to_long(coll(c)->at(4)), 7);
  modify_member(Variant::nothing(), u"x", Variant(int32_t{1}));  // Nothing: nothing happens
  // Duplicate string keys in a table: the second add is refused, the first stays.
  Variant tree = read_tree(test::fixture("host_version.bin"));
  edit_version_tree(tree, u"add", u"Tables", u"040904B0", u"comments", Variant(u"again"));
  EXPECT_EQ(coll(at_key(at_key(tree, u"Tables"), u"040904B0"))->count(), 8u);
}

TEST(VersionTree, PaddingRoundsUpToFour) {
  Ref<Object> res = new_nativeres_object();
  struct { int32_t in, out; bool changed; } cases[] = {{0, 0, false}, {1, 4, true}, {4, 4, false}, {6, 8, true}};
  for (auto c : cases) {
    Variant offset(c.in);
    Variant r = res->call(u"Padding", {Variant::by_ref(&offset)});
    EXPECT_EQ(to_long(offset), c.out);
    EXPECT_EQ(to_bool(r), c.changed);
  }
}

// Damaged blocks: parsing stops where the damage is, writing never overruns.
TEST(VersionBlock, CorruptedBlocksNeverCrash) {
  const std::string good = test::fixture("host_version.bin");
  std::mt19937 rng(7);
  for (size_t n = 0; n <= good.size(); ++n) {
    auto b = parse_version_block(good.substr(0, n));
    EXPECT_EQ(b.has_value(), n >= kVersionRootSize);
    if (b) (void)build_version_block(*b);
  }
  for (int round = 0; round < 3000; ++round) {
    std::string bad = good;
    for (int k = 0; k < 3; ++k) bad[rng() % bad.size()] = static_cast<char>(rng());
    auto b = parse_version_block(bad);
    ASSERT_TRUE(b);
    Variant tree;
    new_version_tree(tree);
    read_version_tree(tree, *b);
    (void)build_version_block(*b);
  }
}

}  // namespace
}  // namespace qz::pe
