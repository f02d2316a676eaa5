// sys.Conv through its member table: by-reference buffers, argument errors that reach the
// script, failures that do not, files, hashes of files around the chunk size, and Icon.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "com/convert.h"
#include "com/error.h"
#include "conv_test_env.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "services/conv/conv_object.h"
#include "services/conv/message_digest.h"

namespace qz {
namespace {

class ConvObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/conv_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::u16string path(const char* name) { return utf8_to_u16(dir_ + name); }
  void write(const char* name, const std::string& bytes) { std::ofstream(dir_ + name, std::ios::binary) << bytes; }
  std::string read(const char* name) {
    std::ifstream f(dir_ + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  int error_of(std::u16string_view member, std::vector<Variant> args) {
    try {
      conv_->call(member, std::move(args));
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }

  Ref<Object> conv_ = new_conv_object({});
  std::string dir_;
};

std::vector<int> bytes_in(const Variant& v) {
  std::vector<int> out;
  const ArrayRep* rep = v.deref().as_array();
  if (rep->elem == VT::Byte) for (uint8_t b : rep->bytes) out.push_back(b);
  else for (const Variant& x : rep->items) { EXPECT_EQ(x.type(), VT::Byte); out.push_back(to_long(x)); }
  return out;
}

TEST_F(ConvObjectTest, BuffersByReference) {
  Variant buf;
  conv_->call(u"Txt2Buf", {Variant(u"AB"), Variant::by_ref(&buf)});
  EXPECT_EQ(bytes_in(buf), (std::vector<int>{65, 66}));
  Str bytes = to_str(conv_->call(u"Buf2Txt", {Variant::by_ref(&buf)}));
  EXPECT_EQ(bytes.byte_size(), 2u);
  EXPECT_EQ(bytes.view(), u"\u4241");
  conv_->call(u"Buf2UniBuf", {Variant::by_ref(&buf)});
  EXPECT_EQ(bytes_in(buf), (std::vector<int>{65, 0, 66, 0}));
  // Txt2Buf always uses Windows-1251; a byte array stays a byte array.
  Variant byte_buf = Variant::byte_array("x", 1);
  conv_->call(u"Txt2Buf", {Variant(u"Жz€"), Variant::by_ref(&byte_buf)});
  EXPECT_EQ(byte_buf.as_array()->elem, VT::Byte);
  EXPECT_EQ(bytes_in(byte_buf), (std::vector<int>{0xC6, 'z', 0x88}));
  // Empty text: the buffer keeps what it held.
  conv_->call(u"Txt2Buf", {Variant(u""), Variant::by_ref(&byte_buf)});
  EXPECT_EQ(bytes_in(byte_buf).size(), 3u);
  // Elements that are no bytes give 0; a non-array gives an empty byte string.
  Variant mixed = Variant::from_vector({Variant(int32_t{1}), Variant(u"x"), Variant(int32_t{300}), Variant(u"7")});
  Str m = to_str(conv_->call(u"Buf2Txt", {mixed}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.bytes()), m.byte_size()), std::string("\1\0\0\7", 4));
  EXPECT_EQ(to_str(conv_->call(u"Buf2Txt", {Variant(int32_t{5})})).byte_size(), 0u);
}

TEST_F(ConvObjectTest, NumbersFromAndToBytes) {
  Variant b1, b2, b3, b4;
  conv_->call(u"Long4Byte", {Variant(int32_t{258}), Variant::by_ref(&b1), Variant::by_ref(&b2), Variant::by_ref(&b3), Variant::by_ref(&b4)});
  EXPECT_EQ(b1.type(), VT::Byte);
  EXPECT_EQ((std::vector<int>{to_long(b1), to_long(b2), to_long(b3), to_long(b4)}), (std::vector<int>{0, 0, 1, 2}));
  EXPECT_EQ(to_long(conv_->call(u"Byte4Long", {Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{1}), Variant(int32_t{0})})), 256);
  Variant big = conv_->call(u"GetBigLong", {Variant(int32_t{-1})});
  EXPECT_EQ(big.type(), VT::Currency);
  EXPECT_EQ(big.as_currency(), 4294967295LL * 10000);
  // What cannot become the declared type reaches the script, as a missing argument does.
  EXPECT_EQ(error_of(u"Byte4Long", {Variant(int32_t{300}), Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{0})}), kErrOverflow);
  EXPECT_EQ(error_of(u"Byte4Long", {Variant(int32_t{1})}), kErrArgCount);
  EXPECT_EQ(error_of(u"HashString", {Variant::null()}), kErrInvalidNull);
  EXPECT_EQ(error_of(u"W2A", {}), kErrArgCount);
}

TEST_F(ConvObjectTest, EmptyTextGivesEmptyOrEmptyString) {
  for (const char16_t* m : {u"A2W", u"W2A", u"EncodeBase64", u"DecodeBase64", u"Win_Koi", u"Koi_Win", u"Win_Iso",
                            u"Iso_Win", u"Win_Cp866", u"Cp866_Win", u"Rus_Lat", u"Lat_Rus", u"LKey_RKey", u"RKey_LKey"}) {
    Variant r = conv_->call(m, {Variant(u"")});
    EXPECT_TRUE(r.is_string() && r.str_view().empty()) << u16_to_utf8(m);
  }
  EXPECT_TRUE(conv_->call(u"EncodeUTF8", {Variant(u"")}).is_empty());
  EXPECT_TRUE(conv_->call(u"DecodeUTF8", {Variant(u"")}).is_empty());
}

TEST_F(ConvObjectTest, TableConversionsNeedTheRussianAnsiPage) {
  LanguageScope russian("1049");
  const std::u16string text = u"Съешь же ещё этих мягких булок, 0-9 ЁЖ!";
  for (auto [to, back] : {std::pair{u"Win_Koi", u"Koi_Win"}, {u"Win_Iso", u"Iso_Win"}, {u"Win_Cp866", u"Cp866_Win"}}) {
    Variant foreign = conv_->call(to, {Variant(text)});
    EXPECT_NE(to_u16(foreign), text) << u16_to_utf8(to);
    EXPECT_EQ(to_u16(conv_->call(back, {foreign})), text) << u16_to_utf8(back);
  }
  EXPECT_EQ(encode(1251, to_u16(conv_->call(u"Win_Cp866", {Variant(u"Ё")}))), "\xF0");
  EXPECT_EQ(encode(20866, u"Съешь"), encode(1251, to_u16(conv_->call(u"Win_Koi", {Variant(u"Съешь")}))));
  EXPECT_EQ(to_u16(conv_->call(u"Win_XLT", {Variant(u"banana"), Variant(u"xa")})), u"bxnxnx");
  EXPECT_EQ(to_u16(conv_->call(u"XLT_Win", {Variant(u"xbox"), Variant(u"xa")})), u"aboa");
  EXPECT_EQ(to_u16(conv_->call(u"XLT_Win", {Variant(u"xbox"), Variant(u"")})), u"xbox");
}

TEST_F(ConvObjectTest, FilesAndStrings) {
  LanguageScope english("1033");
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  write("all.bin", all);
  Variant text = conv_->call(u"File2Str", {Variant(path("all.bin"))});
  EXPECT_EQ(text.str_view().size(), 256u);
  conv_->call(u"Str2File", {text, Variant(path("copy.bin"))});
  EXPECT_EQ(read("copy.bin"), all);
  // Writing replaces the old contents, also with nothing.
  conv_->call(u"Str2File", {Variant(u""), Variant(path("copy.bin"))});
  EXPECT_EQ(read("copy.bin"), "");
  // Script-style paths: backslashes and the wrong case of an existing name.
  std::u16string win = path("ALL.BIN");
  for (char16_t& c : win) if (c == u'/') c = u'\\';
  EXPECT_EQ(to_u16(conv_->call(u"File2Str", {Variant(win)})), to_u16(text));
  // Missing files, folders and unwritable places give "" and nothing.
  EXPECT_EQ(to_u16(conv_->call(u"File2Str", {Variant(path("missing"))})), u"");
  EXPECT_EQ(to_u16(conv_->call(u"File2Str", {Variant(utf8_to_u16(dir_))})), u"");
  EXPECT_EQ(error_of(u"Str2File", {Variant(u"x"), Variant(path("no/such/folder/f"))}), 0);
  EXPECT_EQ(to_u16(conv_->call(u"Image2Str", {Variant::nothing()})), u"");
}

TEST_F(ConvObjectTest, HashesOfFilesAroundTheChunkSize) {
  for (size_t size : {size_t{0}, size_t{32767}, size_t{32768}, size_t{32769}, size_t{100000}}) {
    std::string data;
    for (size_t i = 0; i < size; ++i) data.push_back(static_cast<char>((i * 7919) >> 3));
    write("f.bin", data);
    for (int32_t alg : {kDigestMD2, kDigestMD4, kDigestMD5, kDigestSHA1}) {
      auto md = new_message_digest(alg);
      md->update(data);
      EXPECT_EQ(to_u16(conv_->call(u"HashFile", {Variant(path("f.bin")), Variant(alg)})), utf8_to_u16(hex_upper(md->finish())))
          << size << " " << alg;
    }
  }
  EXPECT_EQ(to_u16(conv_->call(u"HashFile", {Variant(path("missing"))})), u"");
  EXPECT_EQ(to_u16(conv_->call(u"HashFile", {Variant(utf8_to_u16(dir_))})), u"");
  EXPECT_EQ(to_u16(conv_->call(u"HashFile", {Variant(path("f.bin")), Variant(int32_t{1})})), u"");
  if (::geteuid() != 0) {  // root reads anything
    write("locked.bin", "x");
    ::chmod((dir_ + "locked.bin").c_str(), 0);
    EXPECT_EQ(error_of(u"HashFile", {Variant(path("locked.bin"))}), 75);
  }
}

TEST_F(ConvObjectTest, HashParametersAndText) {
  EXPECT_EQ(to_long(conv_->get(u"HP_HASHVAL")), 2);
  EXPECT_EQ(to_long(conv_->get(u"HP_HASHSIZE")), 4);
  EXPECT_EQ(to_u16(conv_->call(u"HashString", {Variant(u"abc")})), u"900150983CD24FB0D6963F7D28E17F72");
  conv_->let(u"HP_HASHSIZE", Variant(int32_t{2}));
  EXPECT_EQ(to_u16(conv_->call(u"HashString", {Variant(u"abc")})), u"");
  conv_->let(u"HP_HASHSIZE", Variant(int32_t{4}));
  EXPECT_EQ(to_u16(conv_->call(u"HashString", {Variant(u"abc"), Variant(int32_t{32772})})).size(), 40u);
}

TEST(ConvObject, IconAndPathLinks) {
  int made = 0;
  ConvLinks links;
  links.make_icon = [&made]() -> Ref<Object> { ++made; return new_conv_object({}); };
  links.expand_path_macros = [](std::u16string_view p) { return u"expanded:" + std::u16string(p); };
  Ref<Object> conv = new_conv_object(links);
  Variant first = conv->get(u"Icon");
  EXPECT_TRUE(first.is_object() && first.as_object());
  EXPECT_EQ(conv->get(u"Icon").as_object(), first.as_object());
  EXPECT_EQ(made, 1);
  conv->set(u"Icon", Variant::nothing());
  EXPECT_EQ(to_u16(conv->call(u"mPath", {Variant(u"%X%")})), u"expanded:%X%");
  Ref<Object> bare = new_conv_object({});
  EXPECT_EQ(bare->get(u"Icon").as_object(), nullptr);
  EXPECT_EQ(to_u16(bare->call(u"mPath", {Variant(u"C:\\Dir")})), u"c:\\dir");
}

}  // namespace
}  // namespace qz
