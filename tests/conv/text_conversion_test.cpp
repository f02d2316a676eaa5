// Text to multibyte byte strings and back, the UTF-8 and Base64 wrappers, and four bytes as a
// number.
#include <gtest/gtest.h>

#include "conv_test_env.h"
#include "platform/codepage.h"
#include "services/conv/text_conversion.h"

namespace qz {
namespace {

std::string bytes_of(const Str& s) { return std::string(reinterpret_cast<const char*>(s.bytes()), s.byte_size()); }

TEST(Multibyte, ByteStringsEndWithAsManyZeroBytes) {
  EXPECT_EQ(bytes_of(text_to_multibyte(u"abc", 1252, 0)), std::string("abc\0\0\0", 6));
  EXPECT_EQ(multibyte_to_text(text_to_multibyte(u"abc", 1252, 0), 1252, 0), u"abc");
  EXPECT_EQ(bytes_of(text_to_multibyte(u"я€", 65001, 0)), std::string("\xD1\x8F\xE2\x82\xAC\0\0\0\0\0", 10));
  EXPECT_EQ(multibyte_to_text(text_to_multibyte(u"я€", 65001, 0), 65001, 0), u"я€");
  EXPECT_EQ(bytes_of(text_to_multibyte(u"Жж", 20866, 0)), std::string("\xF6\xD6\0\0", 4));
  // The text ends at U+0000, the bytes at the first zero byte.
  EXPECT_EQ(bytes_of(text_to_multibyte(std::u16string(u"ab\0cd", 5), 1252, 0)), std::string("ab\0\0", 4));
  const uint8_t raw[] = {'h', 'i', 0, 'x'};
  EXPECT_EQ(multibyte_to_text(Str::from_bytes(raw, 4), 1252, 0), u"hi");
  EXPECT_EQ(multibyte_to_text(Str::from_bytes(raw, 1), 1252, 0), u"h");  // an odd byte count
  // Empty in, empty out; a character the page lacks becomes "?".
  EXPECT_EQ(text_to_multibyte(u"", 1252, 0).byte_size(), 0u);
  EXPECT_EQ(multibyte_to_text(Str(), 65001, 0), u"");
  EXPECT_EQ(bytes_of(text_to_multibyte(u"Ж", 1252, 0)), std::string("?\0", 2));
}

TEST(Multibyte, PagesAndFlagsThatFail) {
  for (int32_t page : {2, 1200, 12345, -2}) {
    EXPECT_EQ(text_to_multibyte(u"abc", page, 0).byte_size(), 0u) << page;
    EXPECT_EQ(multibyte_to_text(Str(u"abc"), page, 0), u"") << page;
  }
  const uint8_t bad[] = {'a', 0xC3, 'b'};
  EXPECT_EQ(multibyte_to_text(Str::from_bytes(bad, 3), 65001, 0), u"a\uFFFDb");
  EXPECT_EQ(multibyte_to_text(Str::from_bytes(bad, 3), 65001, kFailOnInvalidBytes), u"");
  EXPECT_EQ(multibyte_to_text(Str::from_bytes(bad, 3), 65001, 1), u"");  // no other flag for UTF-8
  EXPECT_EQ(text_to_multibyte(std::u16string(1, 0xD800), 65001, kFailOnInvalidChars).byte_size(), 0u);
  EXPECT_EQ(text_to_multibyte(u"ok", 65001, kFailOnInvalidChars).byte_size(), 4u);
}

TEST(Utf8AsAnsi, EncodesToTheBytesAFileWouldHold) {
  LanguageScope russian("1049");
  EXPECT_FALSE(encode_as_ansi_bytes(u"", 65001).has_value());
  EXPECT_FALSE(decode_from_ansi_bytes(u"", 65001).has_value());
  EXPECT_EQ(*encode_as_ansi_bytes(u"plain ASCII", 65001), u"plain ASCII");
  std::u16string shown = *encode_as_ansi_bytes(u"привет", 65001);
  EXPECT_EQ(encode(1251, shown), u16_to_utf8(u"привет"));
  EXPECT_EQ(*decode_from_ansi_bytes(shown, 65001), u"привет");
  // Other pages: KOI8-R bytes shown as 1251 characters.
  EXPECT_EQ(encode(1251, *encode_as_ansi_bytes(u"Жж", 20866)), "\xF6\xD6");
}

TEST(Base64Text, RoundTripsAnyAnsiBytes) {
  for (const char* lang : {"1033", "1049"}) {
    LanguageScope scope(lang);
    std::u16string all = decode(ansi_code_page(), [] {
      std::string b;
      for (int i = 1; i < 256; ++i) b.push_back(static_cast<char>(i));
      return b;
    }());
    std::u16string encoded = base64_encode_text(all);
    EXPECT_NE(encoded.find(u"\r\n"), std::u16string::npos);
    EXPECT_EQ(base64_decode_text(encoded), all) << lang;
  }
  EXPECT_EQ(base64_encode_text(u"abc"), u"YWJj");
  EXPECT_EQ(base64_decode_text(u"YW\r\nJj"), u"abc");
  EXPECT_EQ(base64_encode_text(u""), u"");
}

TEST(FourBytes, AsANumberAndBack) {
  EXPECT_EQ(long_from_bytes(0, 0, 1, 0), 256);
  EXPECT_EQ(long_from_bytes(255, 255, 255, 255), -1);
  EXPECT_EQ(long_from_bytes(128, 0, 0, 0), INT32_MIN);
  for (int32_t v : {0, 258, -1, INT32_MIN, INT32_MAX, 0x12345678}) {
    uint8_t a, b, c, d;
    bytes_from_long(v, a, b, c, d);
    EXPECT_EQ(long_from_bytes(a, b, c, d), v);
  }
  uint8_t a, b, c, d;
  bytes_from_long(258, a, b, c, d);
  EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{0, 0, 1, 2}));
}

}  // namespace
}  // namespace qz
