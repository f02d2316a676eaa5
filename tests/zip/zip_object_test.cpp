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

TEST_F(ZipObjectTest, DamagedAndEmptyArchivesRaise) {
  make_archive();
  std::string bytes = read("x.zip");
  write("cut.zip", bytes.substr(0, 40) + bytes.substr(bytes.size() - 22));
  EXPECT_EQ(error_of(u"ZIP_Open", {Variant(upath("cut.zip"))}), 321);
  write("none.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  EXPECT_EQ(error_of(u"ZIP_Open", {Variant(upath("none.zip"))}), 321);
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
