// The PE image and resource directory: reading images made by an independent generator,
// rewriting them (in place, as a new section, with an overlay, with a checksum), and refusing
// damaged bytes without crashing.
#include <gtest/gtest.h>

#include <random>

#include "formats/pe/le_bytes.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_directory.h"
#include "formats/pe/resource_edits.h"
#include "pe_fixtures.h"

namespace qz::pe {
namespace {

using test::fixture;

const ResourceId kRcData = ResourceId::number(10);

std::string must_get(const std::string& image, const ResourceId& type, const ResourceId& name, uint16_t lang) {
  std::string error;
  auto r = get_resource(image, type, name, lang, error);
  EXPECT_TRUE(r) << error;
  return r ? *r : std::string();
}

TEST(PeResources, ReadsWhatTheGeneratorWrote) {
  for (const char* name : {"pe32_rsrc_last.exe", "pe32plus_rsrc_middle.exe", "pe32_overlay.exe"}) {
    SCOPED_TRACE(name);
    std::string image = fixture(name), error;
    auto set = read_resources(image, error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->items().size(), 9u);
    EXPECT_EQ(must_get(image, kRcData, ResourceId::text(u"hello"), 0), "hello world");  // names ignore case
    std::string kodir = must_get(image, ResourceId::text(u"KODIR"), ResourceId::parse(u"#101"), 0x0419);
    ASSERT_EQ(kodir.size(), 256u);
    EXPECT_EQ(static_cast<unsigned char>(kodir[255]), 255);
    // Language 0 asks for the loader's choice: the only version block is U.S. English.
    EXPECT_EQ(must_get(image, ResourceId::number(16), ResourceId::number(1), 0).size(), 648u);
    EXPECT_FALSE(get_resource(image, ResourceId::number(16), ResourceId::number(1), 0x0419, error));
    EXPECT_TRUE(error.empty());
  }
}

struct Shape {
  uint32_t size_of_image, resource_rva, resource_size, checksum;
  size_t sections;
};

Shape shape(const std::string& image) {
  std::string error;
  auto l = parse_layout(image, error);
  EXPECT_TRUE(l) << error;
  if (!l) return {};
  return Shape{get32(image, l->optional_offset + 56), l->resource_rva, l->resource_size,
               get32(image, l->optional_offset + 64), l->sections.size()};
}

// Add, replace and delete, then read everything back; the image stays a PE that objdump reads.
TEST(PeResources, EditsRoundTripOnEveryLayout) {
  struct Case {
    const char* file;
    bool had_resources, in_place, checksum;
  } cases[] = {{"pe32_rsrc_last.exe", true, true, false},
               {"pe32plus_rsrc_middle.exe", true, false, true},
               {"pe32_no_rsrc.exe", false, false, false},
               {"pe32_overlay.exe", true, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string original = fixture(c.file);
    std::string image = original, error;
    const Shape before = shape(original);
    const std::string big(5000, 'x');  // larger than the old section: the image must grow
    ASSERT_TRUE(put_resource(image, kRcData, ResourceId::number(7), 0, big, false, error)) << error;
    ASSERT_TRUE(put_resource(image, kRcData, ResourceId::text(u"HELLO"), 0, "replaced", false, error)) << error;
    auto set = read_resources(image, error);
    ASSERT_TRUE(set) << error;
    ASSERT_TRUE(set->remove(ResourceId::number(6), ResourceId::number(1), 0) == c.had_resources);
    ASSERT_TRUE(write_resources(image, *set, error)) << error;

    auto back = read_resources(image, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->items().size(), c.had_resources ? 9u : 2u);
    EXPECT_EQ(must_get(image, kRcData, ResourceId::number(7), 0), big);
    EXPECT_EQ(must_get(image, kRcData, ResourceId::text(u"HELLO"), 0), "replaced");
    EXPECT_FALSE(back->find(ResourceId::number(6), ResourceId::number(1), 0));
    if (c.had_resources) {
      EXPECT_EQ(must_get(image, ResourceId::number(3), ResourceId::number(30004), 0).size(), 64u);
    }

    const Shape after = shape(image);
    EXPECT_EQ(after.sections, before.sections + (c.in_place ? 0 : 1));
    EXPECT_GT(after.size_of_image, before.size_of_image);
    EXPECT_EQ(after.size_of_image % 0x1000, 0u);
    if (c.in_place) {
      EXPECT_EQ(after.resource_rva, before.resource_rva);
    }
    if (c.checksum) {
      auto l = parse_layout(image, error);
      EXPECT_EQ(after.checksum, image_checksum(image, l->optional_offset + 64));
      EXPECT_NE(after.checksum, before.checksum);
    } else {
      EXPECT_EQ(after.checksum, 0u);
    }
    // Bytes behind the sections stay at the end.
    const std::string tail("\0-$header$-\0overlay bytes", 25);
    const bool has_tail = image.size() >= 25 && image.compare(image.size() - 25, 25, tail) == 0;
    EXPECT_EQ(has_tail, std::string(c.file) == "pe32_overlay.exe");

    std::string problem = test::objdump_problem(image);
    if (problem != "skip") {
      EXPECT_EQ(problem, "");
    }

    // A second rewrite reuses the section it made: the image does not keep growing.
    std::string again = image;
    ASSERT_TRUE(put_resource(again, kRcData, ResourceId::number(8), 0, "small", false, error)) << error;
    EXPECT_EQ(shape(again).sections, after.sections);
    EXPECT_LE(again.size(), image.size() + 0x200);
  }
}

TEST(PeResources, DeleteExistingLeavesOnlyTheNewResource) {
  std::string image = fixture("pe32_rsrc_last.exe"), error;
  ASSERT_TRUE(put_resource(image, kRcData, ResourceId::number(3), 0x0409, "only", true, error)) << error;
  auto set = read_resources(image, error);
  ASSERT_TRUE(set);
  ASSERT_EQ(set->items().size(), 1u);
  EXPECT_EQ(set->items()[0].language, 0x0409);
  EXPECT_EQ(set->items()[0].data, "only");
}

TEST(PeResources, ImagesWithoutRoomOrSlotAreRefusedUntouched) {
  std::string image = fixture("pe32_no_rsrc.exe"), error;
  auto l = parse_layout(image, error);
  ASSERT_TRUE(l);
  // Headers that end right after the section table leave no room for another header.
  std::string full = image;
  put32(full, l->optional_offset + 60, static_cast<uint32_t>(l->section_table + 40 * l->sections.size()));
  std::string copy = full;
  EXPECT_FALSE(put_resource(copy, kRcData, ResourceId::number(1), 0, "x", false, error));
  EXPECT_NE(error.find("room"), std::string::npos) << error;
  EXPECT_EQ(copy, full);
  // Two data directory slots: no resource slot.
  std::string short_dirs = image;
  put32(short_dirs, l->optional_offset + 92, 2);
  copy = short_dirs;
  EXPECT_FALSE(put_resource(copy, kRcData, ResourceId::number(1), 0, "x", false, error));
  EXPECT_EQ(copy, short_dirs);
}

TEST(PeResources, DamagedImagesAreRejectedWithAReason) {
  const std::string good = fixture("pe32_rsrc_last.exe");
  std::string error;
  auto l = parse_layout(good, error);
  ASSERT_TRUE(l);
  const size_t rsrc = l->sections.back().raw_offset;
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    int width;
  } cases[] = {
      {"header offset past the end", 0x3C, 0x7FFFFFF0, 4},
      {"no PE signature", l->nt_offset, 0x4550FFFF, 4},
      {"unknown optional header", l->optional_offset, 0x0107, 2},
      {"section data past the end", l->sections.back().header_offset + 16, 0x100000, 4},
      {"header size reaching into a section", l->optional_offset + 60, static_cast<uint32_t>(rsrc + 16), 4},
      {"resource directory outside every section", l->directory_offset + 16, 0x900000, 4},
      {"huge entry count", rsrc + 14, 0xFFFF, 2},
      {"type entry pointing at data", rsrc + 16 + 4, 0x40, 4},
      {"language entry pointing at a table (a loop)", rsrc + 0x0f8 + 4, 0x80000000, 4},
      {"name offset outside the directory", rsrc + 16, 0xFFFFFFF0, 4},
      {"data larger than its section", rsrc + 0x1c0 + 4, 0x7FFFFFFF, 4},
      {"data address outside the image", rsrc + 0x1c0, 0x10, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bad = good;
    put_le(bad, c.at, c.value, c.width);
    EXPECT_FALSE(read_resources(bad, error));
    EXPECT_FALSE(error.empty());
    std::string copy = bad;
    EXPECT_FALSE(put_resource(copy, kRcData, ResourceId::number(1), 0, "x", false, error));
    EXPECT_EQ(copy, bad);
  }
  for (std::string bytes : {std::string(), std::string("MZ"), std::string(63, 'M'), good.substr(0, 0x100)})
    EXPECT_FALSE(read_resources(bytes, error));
}

// Every prefix and many random corruptions: reading never crashes, and whatever reads can be
// written and read again.
TEST(PeResources, TruncatedAndCorruptedBytesNeverCrash) {
  const std::string good = fixture("pe32plus_rsrc_middle.exe");
  std::string error;
  for (size_t n = 0; n < good.size(); n += 7) (void)read_resources(good.substr(0, n), error);
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string bad = good;
    int flips = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < flips; ++k) bad[rng() % bad.size()] = static_cast<char>(rng());
    auto set = read_resources(bad, error);
    if (!set) continue;
    std::string copy = bad;
    if (write_resources(copy, *set, error)) {
      ASSERT_TRUE(read_resources(copy, error)) << error;
    }
  }
}

}  // namespace
}  // namespace qz::pe
