// clsZIP through its script members.
#include <gtest/gtest.h>

#include "com/convert.h"
#include "com/error.h"
#include "formats/zip/zip_object.h"
#include "zip_test_support.h"

namespace qz::ziptest {
namespace {

class ZipObjectTest : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    zip = new_zip_object([this] { return upath(""); });
    write("a.txt", "first file");
    write("b.txt", "second file");
  }
  Variant call(std::u16string_view m, std::vector<Variant> args = {}) { return zip->call(m, std::move(args)); }
  Variant get(std::u16string_view m, std::vector<Variant> args = {}) { return zip->get(m, std::move(args)); }
  int error_of(std::u16string_view m, std::vector<Variant> args) {
    try {
      zip->call(m, std::move(args));
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  // Builds x.zip with a.txt and b.txt under "docs".
  void make_archive() {
    call(u"Add", {Variant(upath("a.txt")), Variant(u"docs"), Variant(u"")});
    call(u"Add", {Variant(upath("b.txt")), Variant(u"docs"), Variant(u"")});
    call(u"ZIP_Close", {Variant(upath("x.zip")), Variant(true)});
  }
  Ref<Object> zip;
};

TEST_F(ZipObjectTest, OpenCloseAndAvtoClear) {
  make_archive();
  EXPECT_EQ(to_long(get(u"Count")), 0);  // AvtoClear empties the model after writing
  call(u"ZIP_Open", {Variant(upath("x.zip"))});
  ASSERT_EQ(to_long(get(u"Count")), 2);
  EXPECT_EQ(to_u16(get(u"Files_LocalFileName", {Variant(int32_t{1})})), u"docs/b.txt");
  EXPECT_EQ(to_long(get(u"Files_UnCompressedSize", {Variant(int32_t{0})})), 10);
  EXPECT_EQ(to_long(get(u"Files_CompressionMethod", {Variant(int32_t{0})})), 8);
  EXPECT_EQ(error_of(u"Files_LocalFileName", {Variant(int32_t{2})}), 9);
  EXPECT_EQ(error_of(u"Files_Crc32", {Variant(int32_t{-1})}), 9);

  // Without AvtoClear a failed open keeps the model, and closing keeps it too.
  zip->let(u"AvtoClear", Variant(false));
  call(u"ZIP_Open", {Variant(upath("no-such.zip"))});
  EXPECT_EQ(to_long(get(u"Count")), 2);
  write("not-a-zip", "plain text");
  call(u"ZIP_Open", {Variant(upath("not-a-zip"))});  // no end record: nothing, no error
  EXPECT_EQ(to_long(get(u"Count")), 2);
  call(u"Remove", {Variant(u"docs\\a.txt"), Variant(true)});
  EXPECT_TRUE(to_bool(get(u"Files_IsRemove", {Variant(int32_t{0})})));
  call(u"ZIP_Close", {Variant(upath("y.zip")), Variant(false)});
  EXPECT_EQ(to_long(get(u"Count")), 2);
  // An existing file is left alone without Overwrite.
  call(u"ZIP_Close", {Variant(upath("a.txt")), Variant(false)});
  EXPECT_EQ(read("a.txt"), "first file");
  // An empty name writes to the archive opened last, only with Overwrite.
  call(u"ZIP_Close", {Variant(u""), Variant(false)});
  zip->let(u"AvtoClear", Variant(true));
  call(u"ZIP_Open", {Variant(upath("y.zip"))});
  ASSERT_EQ(to_long(get(u"Count")), 1);
  EXPECT_EQ(to_u16(get(u"Files_CentralFileName", {Variant(int32_t{0})})), u"docs/b.txt");
}

TEST_F(ZipObjectTest, DamagedArchivesRaiseAndEmptyOnesLoad) {
  make_archive();
  std::string bytes = read("x.zip");
  write("cut.zip", bytes.substr(0, 40) + bytes.substr(bytes.size() - 22));
  EXPECT_EQ(error_of(u"ZIP_Open", {Variant(upath("cut.zip"))}), 321);
  // A valid empty archive (as `zip` leaves after deleting its last entry) with a comment.
  write("none.zip", std::string("PK\x05\x06", 4) + std::string(16, '\0') + std::string("\x04\0note", 6));
  EXPECT_EQ(error_of(u"ZIP_Open", {Variant(upath("none.zip"))}), 0);
  EXPECT_EQ(to_long(get(u"Count")), 0);
  EXPECT_EQ(to_u16(get(u"Comment")), u"note");
}

// Patches a one-entry archive in both of its headers: flags, method and CRC, or the data.
struct EntryDamage {
  const char* what;
  int flags_or = 0;
  int method = -1;
  bool bad_crc = false;
  bool bad_data = false;
};

std::string damage(std::string zip, const EntryDamage& d) {
  const size_t central = zip.find(std::string("PK\x01\x02", 4));
  auto put16 = [&](size_t at, int v) {
    zip[at] = static_cast<char>(v & 0xFF);
    zip[at + 1] = static_cast<char>(v >> 8);
  };
  for (size_t header : {size_t{0}, central}) {
    const size_t shift = header == 0 ? 0 : 2;  // the central header has "version made by" first
    put16(header + 6 + shift, static_cast<uint8_t>(zip[header + 6 + shift]) | d.flags_or);
    if (d.method >= 0) put16(header + 8 + shift, d.method);
    if (d.bad_crc) zip[header + 14 + shift] ^= 0x5A;
  }
  if (d.bad_data) {
    const size_t data = 30 + static_cast<uint8_t>(zip[26]);
    zip[data] = static_cast<char>(0xFF);  // deflate block type 3 does not exist
  }
  return zip;
}

TEST_F(ZipObjectTest, AnEntryThatDoesNotUnpackLeavesTheExistingFile) {
  write("one.txt", std::string(2000, 'z') + "tail");
  call(u"Add", {Variant(upath("one.txt")), Variant(u"docs"), Variant(u"")});
  call(u"ZIP_Close", {Variant(upath("one.zip")), Variant(true)});
  const std::string good = read("one.zip");
  const EntryDamage cases[] = {
      {"CRC mismatch", 0, -1, true, false},
      {"unsupported method", 0, 12, false, false},
      {"encrypted", 1, -1, false, false},
      {"data that does not inflate", 0, -1, false, true},
  };
  for (const EntryDamage& d : cases) {
    SCOPED_TRACE(d.what);
    write("bad.zip", damage(good, d));
    write("out/docs/one.txt", "old contents");
    call(u"ZIP_Open", {Variant(upath("bad.zip"))});
    ASSERT_EQ(to_long(get(u"Count")), 1);
    call(u"Extract", {Variant(u"docs\\one.txt"), Variant(upath("out")), Variant(int32_t{0})});
    EXPECT_EQ(read("out/docs/one.txt"), "old contents");
    call(u"Extract", {Variant(u"docs\\one.txt"), Variant(upath("fresh")), Variant(int32_t{0})});
    EXPECT_FALSE(exists("fresh/docs/one.txt"));
    EXPECT_TRUE(call(u"Extract", {Variant(u"docs\\one.txt"), Variant(u""), Variant(int32_t{4})}).is_empty());
  }
  // The undamaged archive still replaces the file.
  call(u"ZIP_Open", {Variant(upath("one.zip"))});
  call(u"Extract", {Variant(u"docs\\one.txt"), Variant(upath("out")), Variant(int32_t{0})});
  EXPECT_EQ(read("out/docs/one.txt"), std::string(2000, 'z') + "tail");
}

TEST_F(ZipObjectTest, AddOfAFileThatCannotBeReadRaises) {
  // A sparse file past the format's 4 GiB limit cannot be read into an entry, root or not.
  ASSERT_EQ(sh("truncate -s 5G huge.bin"), 0);
  EXPECT_EQ(error_of(u"Add", {Variant(upath("huge.bin")), Variant(u"d"), Variant(u"")}), 75);
  EXPECT_EQ(to_long(get(u"Count")), 0);
  // A file that is not there adds nothing and says nothing, as before.
  EXPECT_EQ(error_of(u"Add", {Variant(upath("absent.bin")), Variant(u"d"), Variant(u"")}), 0);
  EXPECT_EQ(to_long(get(u"Count")), 0);
}

TEST_F(ZipObjectTest, FieldsDatesAndCrc) {
  make_archive();
  call(u"ZIP_Open", {Variant(upath("x.zip"))});
  Variant zero(int32_t{0});
  std::vector<Variant> note{zero, Variant(u"note")};
  zip->invoke(zip->find_member(u"Files_Comment"), kLet, Args(note));
  EXPECT_EQ(to_u16(get(u"Files_Comment", {zero})), u"note");
  std::vector<Variant> names{zero, Variant(u"renamed.txt")};
  zip->invoke(zip->find_member(u"Files_LocalFileName"), kLet, Args(names));
  EXPECT_EQ(to_u16(get(u"Files_LocalFileName", {zero})), u"renamed.txt");
  EXPECT_EQ(to_u16(get(u"Files_CentralFileName", {zero})), u"docs/a.txt");  // independent copies
  std::vector<Variant> too_long{zero, Variant(std::u16string(40000, u'x'))};
  EXPECT_THROW(zip->invoke(zip->find_member(u"Files_LocalExtraField"), kLet, Args(too_long)), ScriptError);

  std::vector<Variant> when{zero, Variant(u"3/15/2021 16:47:31")};
  zip->invoke(zip->find_member(u"Files_DateTime"), kLet, Args(when));
  EXPECT_EQ(to_u16(get(u"Files_DateTime", {zero})), u"3/15/2021 16:47:30");  // two-second steps
  std::vector<Variant> bad{zero, Variant(u"not a date")};
  EXPECT_THROW(zip->invoke(zip->find_member(u"Files_DateTime"), kLet, Args(bad)), ScriptError);

  zip->let(u"Comment", Variant(u"archive note"));
  call(u"ZIP_Close", {Variant(upath("z.zip")), Variant(true)});
  call(u"ZIP_Open", {Variant(upath("z.zip"))});
  EXPECT_EQ(to_u16(get(u"Comment")), u"archive note");
  EXPECT_EQ(to_u16(get(u"Files_Comment", {zero})), u"note");
  EXPECT_EQ(to_u16(get(u"Files_DateTime", {zero})), u"3/15/2021 16:47:30");

  // A CRC with the top bit set comes out negative, as a signed 32-bit number.
  write("crc.bin", "a");  // CRC-32 of "a" is 0xE8B7BE43
  call(u"Add", {Variant(upath("crc.bin")), Variant(u"c"), Variant(u"")});
  EXPECT_EQ(to_long(get(u"Files_Crc32", {Variant(int32_t{2})})), static_cast<int32_t>(0xE8B7BE43u));
}

TEST_F(ZipObjectTest, ExtractToTheScriptFolderAndAsBytes) {
  make_archive();
  call(u"ZIP_Open", {Variant(upath("x.zip"))});
  Variant bytes = call(u"Extract", {Variant(u"DOCS\\B.TXT"), Variant(u""), Variant(int32_t{4})});
  ASSERT_TRUE(bytes.is_array());
  EXPECT_EQ(std::string(bytes.as_array()->bytes.begin(), bytes.as_array()->bytes.end()), "second file");
  EXPECT_TRUE(call(u"Extract", {Variant(u"missing"), Variant(u""), Variant(int32_t{4})}).is_empty());
  call(u"Extract", {Variant(u"*"), Variant(u"")});  // two arguments, the script's folder
  EXPECT_EQ(read("docs/a.txt"), "first file");
  EXPECT_EQ(read("docs/b.txt"), "second file");
  EXPECT_TRUE(to_bool(get(u"IsRegExp")));
  call(u"CreateDir", {Variant(upath("made/deeper/file.txt"))});
  EXPECT_TRUE(exists("made/deeper"));
  EXPECT_FALSE(exists("made/deeper/file.txt"));
}

}  // namespace
}  // namespace qz::ziptest
