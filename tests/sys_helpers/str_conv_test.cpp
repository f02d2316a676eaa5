// StrConv conversion codes, alone and combined, and the code-page conversions by locale.
#include <gtest/gtest.h>

#include <cstdlib>

#include "com/error.h"
#include "platform/codepage.h"
#include "runtime/helpers/str_conv.h"

namespace qz {
namespace {

struct ConvCase {
  const char16_t* text;
  int32_t code;
  const char16_t* expected;
};

TEST(StrConv, TextConversions) {
  const ConvCase cases[] = {
      {u"abc", 1, u"ABC"},
      {u"ÀBÇ Привет", 2, u"àbç привет"},
      {u"hello wORLD\tagain\r\nnext", 3, u"Hello World\tAgain\r\nNext"},
      {u"  two  spaces", 3, u"  Two  Spaces"},
      {u"AB 1!", 4, u"ＡＢ\u3000１！"},
      {u"ＡＢ\u3000１！", 8, u"AB 1!"},
      {u"ab", 1 | 4, u"ＡＢ"},
      {u"ひらがな", 16, u"ヒラガナ"},
      {u"カタカナ", 32, u"かたかな"},
      {u"漢字", 16, u"漢字"},
      {u"x", 0, u"x"},
  };
  for (const auto& c : cases) EXPECT_EQ(str_conv(Str(c.text), c.code, -1).u16(), c.expected) << c.code;
}

TEST(StrConv, CodePagesFollowTheLocale) {
  Str cyrillic(u"Жук");
  Str bytes = str_conv(cyrillic, 128, 1049);
  ASSERT_EQ(bytes.byte_size(), 3u);
  EXPECT_EQ(bytes.bytes()[0], 0xC6);  // Ж in windows-1251
  EXPECT_EQ(str_conv(bytes, 64, 1049).u16(), u"Жук");
  // English locale: windows-1252.
  Str latin = str_conv(Str(u"é"), 128, 1033);
  ASSERT_EQ(latin.byte_size(), 1u);
  EXPECT_EQ(latin.bytes()[0], 0xE9);
  // An odd-length byte string survives a conversion that changes nothing.
  Str odd = Str::from_bytes("abc", 3);
  EXPECT_EQ(str_conv(odd, 0, -1).byte_size(), 3u);
  // Byte string to text and upper case at once.
  EXPECT_EQ(str_conv(Str::from_bytes("ab", 2), 64 | 1, 1033).u16(), u"AB");
}

TEST(StrConv, ContradictingCodesRaise) {
  for (int32_t code : {4 | 8, 16 | 32, 64 | 128, 256, -1}) {
    try {
      str_conv(Str(u"x"), code, -1);
      ADD_FAILURE() << code;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, kErrIllegalCall);
    }
  }
}

}  // namespace
}  // namespace qz

namespace qz {
namespace {

TEST(LocaleCodePage, CyrillicLanguagesUse1251) {
  ::setenv("QUAZEL_LANGID", "1033", 1);
  struct Case { int lcid; int page; };
  const Case cases[] = {
      {1049, 1251}, {1058, 1251}, {1059, 1251}, {1026, 1251}, {3098, 1251},  // ru, uk, be, bg, sr-Cyrl
      {2074, 1252}, {1033, 1252}, {1031, 1252}, {2057, 1252},                 // sr-Latn, en, de, en-GB
      {0, 1252}, {-1, 1252}, {1024, 1252}, {2048, 1252},                      // the defaults
  };
  for (const auto& c : cases) EXPECT_EQ(locale_code_page(c.lcid), c.page) << c.lcid;
  ::setenv("QUAZEL_LANGID", "1049", 1);
  EXPECT_EQ(locale_code_page(0), 1251);
  EXPECT_EQ(locale_code_page(1033), 1252);
  ::unsetenv("QUAZEL_LANGID");
}

}  // namespace
}  // namespace qz
