#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "com/error.h"
#include "com/str.h"
#include "formats/crc32.h"
#include "formats/zip/dos_time.h"
#include "formats/zip/zip_deflate.h"
#include "formats/zip/zip_entry_ops.h"
#include "zip_test_support.h"

namespace qz::ziptest {
namespace {

class ZipEntries : public ScratchDir {};

TEST_F(ZipEntries, AddStoresNamesUnderTheArchiveFolder) {
  write("data/a.txt", "hello");
  ZipArchive z;
  zip_add(z, upath("data/a.txt"), u"docs", u"note");
  zip_add(z, upath("data/a.txt"), u"docs\\", u"");  // the same stored name: nothing added
  zip_add(z, upath("data/a.txt"), u"", u"");
  zip_add(z, upath("data/missing.txt"), u"docs", u"");
  ASSERT_EQ(z.entries.size(), 2u);
  EXPECT_EQ(z.entries[0].central_name, "docs/a.txt");
  EXPECT_EQ(z.entries[0].local_name, "docs/a.txt");
  EXPECT_EQ(z.entries[0].comment, "note");
  EXPECT_EQ(z.entries[1].central_name, "tmp/" + dir_.substr(5) + "/data/a.txt");
  // The same file again without a folder is the same stored name too.
  zip_add(z, upath("data/a.txt"), u"", u"");
  EXPECT_EQ(z.entries.size(), 2u);
  // Parts that would climb out of the folder never reach a stored name.
  zip_add(z, upath("data/a.txt"), u"..\\..\\up", u"");
  EXPECT_EQ(z.entries.back().central_name, "up/a.txt");

  const ZipEntry& e = z.entries[0];
  EXPECT_EQ(e.local_method, 8);
  EXPECT_EQ(e.local_flags, 2);
  EXPECT_EQ(e.internal_attributes, 0x20);
  EXPECT_EQ(e.local_crc, crc32_of("hello"));
  EXPECT_EQ(e.central_crc, e.local_crc);
  EXPECT_EQ(e.local_uncompressed, 5u);
  EXPECT_EQ(e.local_compressed, e.data.size());
  EXPECT_EQ(zip_entry_bytes(e).value_or("?"), "hello");
}

TEST_F(ZipEntries, EmptyFilesFoldersAndDates) {
  write("empty", "");
  ::mkdir(path("folder").c_str(), 0755);
  write("old.txt", "x");
  struct utimbuf t{};
  t.modtime = t.actime = 1700000000;  // 2023-11-14 22:13:20 UTC
  ::utime(path("old.txt").c_str(), &t);
  ::chmod(path("old.txt").c_str(), 0444);  // read-only files keep their date

  ZipArchive z;
  zip_add(z, upath("empty"), u"d", u"");
  zip_add(z, upath("folder"), u"d", u"");
  zip_add(z, upath("old.txt"), u"d", u"");
  ASSERT_EQ(z.entries.size(), 3u);
  for (int i : {0, 1}) {
    EXPECT_EQ(z.entries[i].data, std::string("\x03\x00", 2));
    EXPECT_EQ(z.entries[i].local_compressed, 2u);
    EXPECT_EQ(z.entries[i].local_uncompressed, 0u);
    EXPECT_EQ(z.entries[i].local_crc, 0u);
  }
  EXPECT_EQ(z.entries[1].central_name, "d/folder");
  DosDateTime expect = dos_from_unix(1700000000);
  EXPECT_EQ(z.entries[2].local_date, expect.date);
  EXPECT_EQ(z.entries[2].local_time, expect.time);
  EXPECT_NE(expect.date, 0);
}

TEST(ZipNames, ContainedEntryPaths) {
  struct Case { std::u16string_view name; std::optional<std::u16string> path; };
  const Case cases[] = {
      {u"a.txt", u"a.txt"},
      {u"docs\\a.txt", u"docs\\a.txt"},
      {u"docs\\.\\a.txt", u"docs\\a.txt"},
      {u"docs/a.txt", u"docs\\a.txt"},
      {u"..\\evil", std::nullopt},
      {u"docs\\..\\..\\evil", std::nullopt},
      {u"a\\..", std::nullopt},
      {u"\\etc\\passwd", std::nullopt},
      {u"/etc/passwd", std::nullopt},
      {u"C:\\evil", std::nullopt},
      {u"c:evil", std::nullopt},
      {u"", std::nullopt},
      {u".", std::nullopt},
      {std::u16string_view(u"a\0b", 3), std::nullopt},
      {u"..a\\b..", u"..a\\b.."},
  };
  for (const Case& c : cases) EXPECT_EQ(contained_entry_path(c.name), c.path) << std::string(c.name.begin(), c.name.end());
}

// An archive as a hostile tool might make it: names that climb out, absolute names, drives.
TEST_F(ZipEntries, ExtractNeverWritesOutsideTheTargetFolder) {
  write("src", "payload");
  ZipArchive z;
  zip_add(z, upath("src"), u"x", u"");
  const char* names[] = {"../escaped", "a/../../escaped2", "/tmp/escaped3", "C:/escaped4", "..\\escaped5", "ok/inside"};
  std::vector<ZipEntry> entries;
  for (const char* n : names) {
    ZipEntry e = z.entries[0];
    e.central_name = e.local_name = n;
    entries.push_back(e);
  }
  z.entries = entries;
  ::mkdir(path("target").c_str(), 0755);
  zip_extract(z, u"*.", upath("target"), 0, false);
  EXPECT_EQ(read("target/ok/inside"), "payload");
  for (const char* f : {"escaped", "escaped2", "escaped5", "target/escaped", "target/../escaped"}) EXPECT_FALSE(exists(f)) << f;
  EXPECT_NE(access("/tmp/escaped3", F_OK), 0);
  // Bare names (flags 1) cannot climb either.
  zip_extract(z, u"*.", upath("flat"), 1, false);
  EXPECT_EQ(read("flat/escaped"), "payload");  // the bare name of "../escaped" stays inside
  EXPECT_EQ(read("flat/inside"), "payload");
}

TEST_F(ZipEntries, ExtractFlagsAndMatching) {
  write("docs/a.txt", "A text");
  write("docs/b.TXT", "B text");
  write("docs/c.bin", "C bin");
  ZipArchive z;
  for (const char* f : {"a.txt", "b.TXT", "c.bin"}) zip_add(z, upath(std::string("docs/") + f), u"docs", u"");
  z.entries[1].central_method = 0;  // a stored entry comes back unchanged
  z.entries[1].data = "stored bytes";
  z.entries[1].local_uncompressed = 12;
  z.entries[1].local_crc = crc32_of("stored bytes");

  // Flags 4: the first match's bytes; names compare without regard to case.
  EXPECT_EQ(zip_extract(z, u"Docs\\A.TXT", upath("out"), 4, false), "A text");
  EXPECT_EQ(zip_extract(z, u"docs\\b.txt", upath("out"), 4, false), "stored bytes");
  EXPECT_EQ(zip_extract(z, u"*\\.bin$", upath("out"), 4, false), "C bin");
  EXPECT_EQ(zip_extract(z, u"docs\\none", upath("out"), 4, false), std::nullopt);
  EXPECT_EQ(zip_extract(z, u"*[", upath("out"), 4, false), std::nullopt);  // bad pattern: nothing

  // Flags 0: entry paths; a pattern takes every match (case-blind).
  zip_extract(z, u"*\\.txt$", upath("out"), 0, false);
  EXPECT_EQ(read("out/docs/a.txt"), "A text");
  EXPECT_EQ(read("out/docs/b.TXT"), "stored bytes");
  EXPECT_FALSE(exists("out/docs/c.bin"));
  // Flags 1: bare names; without a pattern only the first match.
  zip_extract(z, u"docs\\c.bin", upath("flat/"), 1, false);
  EXPECT_EQ(read("flat/c.bin"), "C bin");
  // Flags 2 keeps an existing file, 0 replaces it.
  write("out/docs/a.txt", "mine");
  zip_extract(z, u"docs\\a.txt", upath("out"), 2, false);
  EXPECT_EQ(read("out/docs/a.txt"), "mine");
  zip_extract(z, u"docs\\a.txt", upath("out"), 0, true);
  EXPECT_EQ(read("out/docs/a.txt"), "A text");
  struct stat st;
  ASSERT_EQ(::stat(path("out/docs/a.txt").c_str(), &st), 0);
  time_t want = 0;
  ASSERT_TRUE(unix_from_dos(DosDateTime{z.entries[0].local_date, z.entries[0].local_time}, want));
  EXPECT_EQ(st.st_mtime, want);
  // Other flags write nothing.
  zip_extract(z, u"docs\\c.bin", upath("none"), 7, false);
  EXPECT_FALSE(exists("none"));
}

// Names outside ASCII go in as UTF-8 with the UTF-8 flag, whatever the language's OEM page
// holds, so extraction gives the file its own name back.
TEST_F(ZipEntries, NonAsciiNamesComeBackUnchanged) {
  const std::string name = "\xd0\xbe\xd1\x82\xd1\x87\xd1\x91\xd1\x82 \xe2\x82\xac.txt";  // "отчёт €.txt"
  write("in/plain.txt", "p");
  write("in/" + name, "report");
  for (const char* lang : {"1033", "1049"}) {
    ::setenv("QUAZEL_LANGID", lang, 1);
    ZipArchive z;
    zip_add(z, utf8_to_u16(path("in/" + name)), u"bk", utf8_to_u16("\xd0\xba"));
    zip_add(z, utf8_to_u16(path("in/./" + name)), u"bk", u"");  // the same stored name: nothing added
    ASSERT_EQ(z.entries.size(), 1u) << lang;
    const ZipEntry& e = z.entries[0];
    EXPECT_EQ(e.central_name, "bk/" + name) << lang;
    EXPECT_EQ(e.local_name, e.central_name);
    EXPECT_EQ(e.comment, "\xd0\xba");
    EXPECT_EQ(e.local_flags, 0x0802);
    EXPECT_EQ(e.central_flags, 0x0802);
    zip_extract(z, utf8_to_u16("*\xd1\x82 "), upath(std::string("out") + lang), 0, false);
    EXPECT_EQ(read(std::string("out") + lang + "/bk/" + name), "report") << lang;
    EXPECT_EQ(zip_extract(z, utf8_to_u16("BK\\\xd0\x9e\xd0\xa2\xd0\xa7\xd0\x81\xd0\xa2 \xe2\x82\xac.TXT"), u"", 4, false), "report");
  }
  ::unsetenv("QUAZEL_LANGID");
  // Plain names stay as they were.
  ZipArchive z;
  zip_add(z, upath("in/plain.txt"), u"bk", u"");
  EXPECT_EQ(z.entries[0].central_flags, 0x0002);
}

TEST_F(ZipEntries, RemoveComparesExactlyAndCanBeTakenBack) {
  write("docs/a.txt", "A");
  ZipArchive z;
  zip_add(z, upath("docs/a.txt"), u"docs", u"");
  zip_remove(z, u"Docs\\A.TXT", true);
  EXPECT_FALSE(z.entries[0].removed);
  zip_remove(z, u"docs\\a.txt", true);
  EXPECT_TRUE(z.entries[0].removed);
  zip_remove(z, u"*A\\.TXT", false);
  EXPECT_FALSE(z.entries[0].removed);
  EXPECT_THROW(zip_remove(z, u"*(", true), ScriptError);
}

TEST(ZipDeflate, InflationIsBoundedByTheExpectedSize) {
  std::string plain(100000, 'z');
  std::string packed = deflate_raw(plain);
  EXPECT_EQ(inflate_raw(packed, 100000), plain);
  EXPECT_EQ(inflate_raw(packed, 10), std::string(10, 'z'));   // a header that says less
  EXPECT_EQ(inflate_raw(packed, 0xFFFFFFFFu), plain);         // or more: only what is there
  EXPECT_EQ(inflate_raw(packed.substr(0, packed.size() / 2), 100000).size() <= 100000, true);
  EXPECT_EQ(inflate_raw("garbage that is no deflate stream", 1000).size() <= 1000, true);
  EXPECT_EQ(deflate_raw(""), std::string("\x03\x00", 2));
}

TEST(ZipDosTime, ConversionsAndInvalidValues) {
  CalendarTime c{2024, 2, 29, 16, 59, 58};
  DosDateTime d = dos_from_calendar(c);
  CalendarTime back;
  ASSERT_TRUE(calendar_from_dos(d, back));
  EXPECT_EQ(back.year, 2024);
  EXPECT_EQ(back.day, 29);
  EXPECT_EQ(back.hour, 16);
  EXPECT_EQ(back.second, 58);
  EXPECT_FALSE(calendar_from_dos(DosDateTime{0, 0}, back));                  // month 0
  EXPECT_FALSE(calendar_from_dos(DosDateTime{(1 << 9) | (2 << 5) | 30, 0}, back));  // 30 February 1981
  EXPECT_FALSE(calendar_from_dos(DosDateTime{(1 << 5) | 1, 24 << 11}, back));       // hour 24
}

}  // namespace
}  // namespace qz::ziptest
