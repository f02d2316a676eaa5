#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <ctime>

#include "com/convert.h"
#include "file_fixture.h"
#include "services/file/file_object.h"
#include "services/file/file_table.h"

namespace qz {
namespace {

class FileObjectTest : public TempTree {
 protected:
  void TearDown() override {
    file_table().close_all();
    TempTree::TearDown();
  }
  int16_t open(const std::string& rel, const char16_t* mode, int16_t len = 0) {
    return to_integer(call(*f, u"FileOpen", {Variant(sp(rel)), Variant(int16_t{0}), Variant(mode), Variant(len)}));
  }
  Variant get(int16_t n, int32_t pos, Variant buf) {
    call(*f, u"FileGet", {Variant(n), Variant(pos), Variant::by_ref(&buf)});
    return buf;
  }
  void put(int16_t n, int32_t pos, const Variant& v) { call(*f, u"FilePut", {Variant(n), Variant(pos), v}); }
  Ref<Object> f = new_file_object({});
};

std::string numbered(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(i));
  return s;
}

TEST_F(FileObjectTest, RecordLengthTurnsRecordNumbersIntoBytePositions) {
  write("r.bin", numbered(100));
  int16_t n = open("r.bin", u"RANDOM", 16);
  EXPECT_GT(n, 0);
  EXPECT_EQ(get(n, 3, Variant(uint8_t{0})).as_byte(), 32);  // record 3 starts at byte 33
  int16_t b = open("r.bin", u"binary");
  EXPECT_EQ(get(b, 3, Variant(uint8_t{0})).as_byte(), 2);
  EXPECT_EQ(get(b, 0, Variant(uint8_t{0})).as_byte(), 3);    // the current position
}

TEST_F(FileObjectTest, NumbersTextAndArraysRoundTripInTheirOwnWidths) {
  int16_t n = open("t.bin", u"Binary");
  const Variant values[] = {Variant(uint8_t{200}),      Variant(int16_t{-2}),  Variant(int32_t{-70000}),
                            Variant(1.5f),              Variant(-2.25),        Variant::currency(123456789),
                            Variant(true),              Variant(u"AbC")};
  const int64_t widths[] = {1, 2, 4, 4, 8, 8, 2, 3};
  int64_t pos = 1;
  for (size_t i = 0; i < std::size(values); ++i) {
    put(n, static_cast<int32_t>(pos), values[i]);
    Variant zero = values[i].type() == VT::String ? Variant(u"???") : coerce(Variant(int16_t{0}), values[i].type());
    Variant back = get(n, static_cast<int32_t>(pos), zero);
    EXPECT_EQ(back.type(), values[i].type()) << i;
    EXPECT_EQ(to_u16(back), to_u16(values[i])) << i;
    pos += widths[i];
  }
  EXPECT_EQ(to_long(call(*f, u"FileLOF", {Variant(n)})), pos - 1);  // no length prefixes anywhere
  EXPECT_EQ(read("t.bin").substr(29, 3), "AbC");
}

TEST_F(FileObjectTest, ByteArraysReadFromIndexZeroToTheUpperBound) {
  write("a.bin", numbered(20));
  int16_t n = open("a.bin", u"binary");
  Variant bytes = get(n, 1, Variant::new_array({{0, 10}}, VT::Byte));
  ASSERT_EQ(bytes.as_array()->bytes.size(), 10u);
  EXPECT_EQ(bytes.as_array()->bytes[9], 9);
  EXPECT_EQ(to_long(call(*f, u"Seek2", {Variant(n), Variant(int32_t{0})})), 11);
  Variant items = get(n, 5, Variant::new_array({{0, 3}}));
  EXPECT_EQ(items.as_array()->items[2].type(), VT::Byte);
  EXPECT_EQ(items.as_array()->items[2].as_byte(), 6);
  // Lower bound 2: offsets 0 and 1 have no element; elements 2..4 take offsets 2..4.
  Variant shifted = get(n, 1, Variant::new_array({{2, 3}}, VT::Byte));
  EXPECT_EQ(shifted.as_array()->bytes[0], 2);
  EXPECT_EQ(shifted.as_array()->bytes[2], 4);
  put(n, 1, Variant::from_vector({Variant(int16_t{65}), Variant(u"66"), Variant(int16_t{300})}));
  EXPECT_EQ(read("a.bin").substr(0, 4), std::string("AB\0\3", 4));  // 300 is no byte: 0
}

TEST_F(FileObjectTest, BadNumbersAndWordsFailQuietly) {
  EXPECT_EQ(to_integer(call(*f, u"FileOpen", {Variant(sp("x")), Variant(int16_t{0}), Variant(u"sideways"), Variant(int16_t{0})})), 0);
  EXPECT_FALSE(exists("x"));
  EXPECT_EQ(to_integer(call(*f, u"FileOpen", {Variant(sp("x")), Variant(int16_t{600}), Variant(u"output"), Variant(int16_t{0})})), 0);
  EXPECT_FALSE(exists("x"));
  Variant buf(int32_t{7});
  call(*f, u"FileGet", {Variant(int16_t{600}), Variant(int32_t{1}), Variant::by_ref(&buf)});
  call(*f, u"FileGet", {Variant(int16_t{-1}), Variant(u"not a number"), Variant::by_ref(&buf)});
  EXPECT_EQ(buf.as_long(), 7);
  EXPECT_EQ(to_long(call(*f, u"FileLOF", {Variant(int16_t{77})})), 0);
  EXPECT_FALSE(to_bool(call(*f, u"FileEOF", {Variant(u"abc")})));
}

TEST_F(FileObjectTest, SetFileSizeCutsAndExtendsExistingFilesOnly) {
  EXPECT_FALSE(to_bool(call(*f, u"SetFileSize", {Variant(sp("none.bin")), Variant(int32_t{10})})));
  EXPECT_FALSE(exists("none.bin"));
  write("s.bin", "abcdef");
  EXPECT_TRUE(to_bool(call(*f, u"SetFileSize", {Variant(sp("s.bin")), Variant(int32_t{3})})));
  EXPECT_EQ(read("s.bin"), "abc");
  EXPECT_TRUE(to_bool(call(*f, u"SetFileSize", {Variant(sp("s.bin")), Variant(int32_t{5})})));
  EXPECT_EQ(read("s.bin"), std::string("abc\0\0", 5));
}

TEST_F(FileObjectTest, DirectoryListingHonoursTheAttributeMask) {
  write("b.txt", "");
  write("A.txt", "");
  write(".hidden.txt", "");
  mkdir("sub.txt");
  auto dir = [&](std::u16string p, int32_t attr) { return to_u16(call(*f, u"GetDir", {Variant(p), Variant(attr)})); };
  auto next = [&] { return to_u16(call(*f, u"GetDir", {Variant(u"-1"), Variant(int32_t{0})})); };
  EXPECT_EQ(dir(sp("*.TXT"), 0), u"A.txt");
  EXPECT_EQ(next(), u"b.txt");
  EXPECT_EQ(next(), u"");
  EXPECT_EQ(dir(sp("*.txt"), 16 | 2), u".hidden.txt");
  EXPECT_EQ(next(), u"A.txt");
  EXPECT_EQ(next(), u"b.txt");
  EXPECT_EQ(next(), u"sub.txt");
  EXPECT_EQ(dir(sp("nothing*"), 0), u"");
}

TEST_F(FileObjectTest, LongNameGivesStoredCaseAndNothingForMissingParts) {
  mkdir("Folder");
  write("Folder/File.TXT", "");
  write("Folder/other.txt", "");
  std::u16string root = sp("");  // ends with "/"
  std::u16string back = root;
  for (auto& c : back) c = c == u'/' ? u'\\' : c;
  auto long_name = [&](std::u16string p) { return to_u16(call(*f, u"LongName", {Variant(p)})); };
  struct Case {
    std::u16string path, expected;
  } cases[] = {
      {back + u"FOLDER\\file.txt", root + u"Folder/File.TXT"},  // one separator in what comes back
      {root + u"folder/FILE.txt", root + u"Folder/File.TXT"},
      {back + u"folder\\", root + u"Folder/"},
      {back + u"nope\\gone", u""},
      {back + u"Folder\\gone", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(long_name(c.path), c.expected) << std::string(c.path.begin(), c.path.end());

  // A relative path stays relative to the current folder.
  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(::chdir(os("").c_str()), 0);
  EXPECT_EQ(long_name(u"folder\\file.TXT"), u"Folder/File.TXT");
  EXPECT_EQ(long_name(u"./FOLDER/other.TXT"), u"./Folder/other.txt");
  EXPECT_EQ(long_name(u"missing.txt"), u"");
  ASSERT_EQ(::chdir(here), 0);

  // A GetDir enumeration goes on across LongName.
  EXPECT_EQ(to_u16(call(*f, u"GetDir", {Variant(sp("Folder/*.txt")), Variant(int32_t{0})})), u"File.TXT");
  EXPECT_EQ(long_name(back + u"FOLDER\\file.txt"), root + u"Folder/File.TXT");
  EXPECT_EQ(to_u16(call(*f, u"GetDir", {Variant(u"-1"), Variant(int32_t{0})})), u"other.txt");

  EXPECT_EQ(to_u16(call(*f, u"ShortName", {Variant(sp("Folder"))})), sp("Folder"));
  EXPECT_EQ(to_u16(call(*f, u"ShortName", {Variant(sp("nope"))})), u"");
}

TEST_F(FileObjectTest, AttributesAndTimeStamps) {
  write("f.txt", "x");
  mkdir("d");
  auto attr = [&](const std::string& rel) { return to_integer(call(*f, u"Attr", {Variant(sp(rel))})); };
  EXPECT_EQ(attr("f.txt"), 32);
  EXPECT_EQ(attr("d"), 16);
  EXPECT_EQ(attr("missing"), 0);
  call(*f, u"SetAttr2", {Variant(sp("f.txt")), Variant(int16_t{1})});
  EXPECT_EQ(attr("f.txt"), 33);
  call(*f, u"SetAttr2", {Variant(sp("f.txt")), Variant(int16_t{0})});
  EXPECT_EQ(attr("f.txt"), 32);
  std::tm tm{};
  tm.tm_year = 2021 - 1900;
  tm.tm_mon = 6;
  tm.tm_mday = 15;
  tm.tm_hour = 13;
  tm.tm_min = 14;
  tm.tm_sec = 15;
  tm.tm_isdst = -1;
  utimbuf times{std::mktime(&tm), std::mktime(&tm)};
  ASSERT_EQ(::utime(os("f.txt").c_str(), &times), 0);
  Variant when = call(*f, u"FileDateTime2", {Variant(sp("f.txt"))});
  EXPECT_EQ(when.type(), VT::Date);
  EXPECT_EQ(format_date(when.as_date()), u"7/15/2021 1:14:15 PM");
}

TEST_F(FileObjectTest, CopyingAFileOntoItselfKeepsItsContents) {
  write("keep.txt", "precious");
  call(*f, u"FileCopy", {Variant(sp("keep.txt")), Variant(sp("KEEP.TXT"))});
  EXPECT_EQ(read("keep.txt"), "precious");
  call(*f, u"FileCopy", {Variant(sp("keep.txt")), Variant(sp("copy.txt"))});
  EXPECT_EQ(read("copy.txt"), "precious");
}

TEST_F(FileObjectTest, NestedObjectsAreMadeOnceAndZipStaysNothingWithoutAFactory) {
  Variant a = call(*f, u"Crc32"), b = call(*f, u"Crc32");
  EXPECT_EQ(a.as_object(), b.as_object());
  EXPECT_EQ(a.as_object()->type_name(), u"clsCRC32");
  EXPECT_EQ(call(*f, u"Search").as_object()->type_name(), u"clsFSearch");
  EXPECT_EQ(call(*f, u"Zip").as_object(), nullptr);
  int made = 0;
  Ref<Object> g = new_file_object({nullptr, [&made] { ++made; return new_file_object({}); }});
  call(*g, u"Zip");
  call(*g, u"Zip");
  EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace qz
