#include <gtest/gtest.h>

#include "formats/zip/zip_archive.h"
#include "formats/zip/zip_entry_ops.h"
#include "zip_test_support.h"

namespace qz::ziptest {
namespace {

class ZipReader : public ScratchDir {
 protected:
  // An archive of two deflated files with comments and extra fields.
  ZipArchive sample() {
    write("a.txt", "alpha alpha alpha alpha");
    write("b.bin", all_byte_values());
    ZipArchive z;
    zip_add(z, upath("a.txt"), u"docs", u"first");
    zip_add(z, upath("b.bin"), u"", u"");
    z.entries[0].local_extra = std::string("\x55\x54\x01\x00\x00", 5);
    z.entries[1].central_extra = "xx";
    z.comment = "archive comment";
    return z;
  }
};

void put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}
void put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v);
  s[at + 1] = static_cast<char>(v >> 8);
}

TEST_F(ZipReader, WrittenArchiveReadsBackFieldForField) {
  ZipArchive z = sample();
  std::string bytes = write_zip(z);
  ZipArchive back;
  ASSERT_EQ(read_zip(bytes, back), ZipReadResult::Loaded);
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.comment, "archive comment");
  for (size_t i = 0; i < 2; ++i) {
    const ZipEntry &a = z.entries[i], &b = back.entries[i];
    EXPECT_EQ(a.local_name, b.local_name);
    EXPECT_EQ(a.central_name, b.central_name);
    EXPECT_EQ(a.local_extra, b.local_extra);
    EXPECT_EQ(a.central_extra, b.central_extra);
    EXPECT_EQ(a.comment, b.comment);
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(a.local_crc, b.local_crc);
    EXPECT_EQ(a.central_compressed, b.central_compressed);
    EXPECT_EQ(a.local_offset, b.local_offset);
    EXPECT_EQ(a.internal_attributes, b.internal_attributes);
  }
  EXPECT_EQ(back.end.total_entries, 2);
  // Writing what was read gives the same bytes.
  EXPECT_EQ(write_zip(back), bytes);
}

TEST_F(ZipReader, RemovedEntriesAreLeftOutAndCountsFollow) {
  ZipArchive z = sample();
  z.entries[0].removed = true;
  ZipArchive back;
  ASSERT_EQ(read_zip(write_zip(z), back), ZipReadResult::Loaded);
  ASSERT_EQ(back.entries.size(), 1u);
  EXPECT_EQ(back.entries[0].central_name, "tmp/" + dir_.substr(5) + "/b.bin");
  EXPECT_EQ(back.entries[0].local_offset, 0u);
  EXPECT_EQ(back.end.disk_entries, 1);
}

TEST_F(ZipReader, EndRecordIsFoundBackwardsPastTrailingBytes) {
  ZipArchive z = sample();
  std::string bytes = write_zip(z) + "trailing bytes that are no archive";
  ZipArchive back;
  ASSERT_EQ(read_zip(bytes, back), ZipReadResult::Loaded);
  EXPECT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.comment, "archive comment");

  ZipArchive untouched;
  untouched.comment = "kept";
  EXPECT_EQ(read_zip("no archive here", untouched), ZipReadResult::NoEndRecord);
  EXPECT_EQ(read_zip("", untouched), ZipReadResult::NoEndRecord);
  EXPECT_EQ(untouched.comment, "kept");

  std::string empty = std::string("PK\x05\x06", 4) + std::string(16, '\0') + std::string("\x02\x00hi", 4);
  EXPECT_EQ(read_zip(empty, untouched), ZipReadResult::NoEntries);
  EXPECT_EQ(untouched.comment, "hi");
  EXPECT_TRUE(untouched.entries.empty());
}

// Every offset and length a header gives is checked: a damaged archive is refused whole and the
// model stays as it was.
TEST_F(ZipReader, DamagedArchivesAreRefusedWithoutChangingTheModel) {
  ZipArchive z = sample();
  const std::string good = write_zip(z);
  const size_t end = good.size() - kZipEndRecordSize - z.comment.size();
  const size_t central = z.end.directory_offset;
  const size_t second_local = z.entries[1].local_offset;
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  };
  const Case cases[] = {
      {"directory offset past the end", [&](std::string& s) { put32(s, end + 16, 0xFFFFFF00u); }},
      {"more entries than the bytes hold", [&](std::string& s) { put16(s, end + 10, 0xFFFF); }},
      {"archive comment longer than the rest", [&](std::string& s) { put16(s, end + 20, 500); }},
      {"central name past the end", [&](std::string& s) { put16(s, central + 28, 0xFFFF); }},
      {"local header offset past the end", [&](std::string& s) { put32(s, central + 42, 0x7FFFFFFF); }},
      {"local name past the end", [&](std::string& s) { put16(s, second_local + 26, 0xFFFF); }},
      {"compressed size past the end", [&](std::string& s) { put32(s, second_local + 18, 0xFFFFFFF0u); }},
      {"end record cut short", [&](std::string& s) { s.resize(end + 10); }},
  };
  for (const Case& c : cases) {
    std::string bad = good;
    c.damage(bad);
    ZipArchive model;
    model.comment = "before";
    EXPECT_EQ(read_zip(bad, model), ZipReadResult::Damaged) << c.what;
    EXPECT_EQ(model.comment, "before") << c.what;
    EXPECT_TRUE(model.entries.empty()) << c.what;
  }
  // Cut anywhere: refused or read, never out of bounds (the sanitizer build checks the reads).
  for (size_t n = 0; n < good.size(); ++n) {
    ZipArchive model;
    ZipReadResult r = read_zip(std::string_view(good).substr(0, n), model);
    EXPECT_NE(r, ZipReadResult::Loaded) << n;
  }
}

// A writer that streams puts the sizes after the data (flag 8) and zeros in the local header;
// the central directory's sizes keep the data from being dropped.
TEST_F(ZipReader, DeferredSizesComeFromTheCentralDirectory) {
  ZipArchive z = sample();
  ZipEntry& e = z.entries[1];
  e.local_flags |= kZipFlagDataDescriptor;
  e.central_flags |= kZipFlagDataDescriptor;
  uint32_t size = e.local_compressed, plain = e.local_uncompressed, crc = e.local_crc;
  e.local_compressed = e.local_uncompressed = e.local_crc = 0;
  std::string bytes = write_zip(z);
  ZipArchive back;
  ASSERT_EQ(read_zip(bytes, back), ZipReadResult::Loaded);
  EXPECT_EQ(back.entries[1].local_compressed, size);
  EXPECT_EQ(back.entries[1].local_uncompressed, plain);
  EXPECT_EQ(back.entries[1].local_crc, crc);
  EXPECT_EQ(zip_entry_bytes(back.entries[1]).value_or("?"), all_byte_values());
}

}  // namespace
}  // namespace qz::ziptest
