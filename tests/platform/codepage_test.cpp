#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/platform/env_guard.h"

namespace qz {
namespace {

using test_support::EnvGuard;

struct SingleBytePage {
  int codepage;
  const char* iconv_name;
  std::vector<unsigned char> undefined;  // bytes the page leaves free (mapped to U+00xx)
};

const std::vector<SingleBytePage>& single_byte_pages() {
  static const std::vector<SingleBytePage> pages = {
      {1251, "CP1251", {0x98}},
      {1252, "CP1252", {0x81, 0x8D, 0x8F, 0x90, 0x9D}},
      {20866, "KOI8-R", {}},
      {866, "CP866", {}},
      {437, "CP437", {}},
      {28595, "ISO-8859-5", {}},
  };
  return pages;
}

std::string all_bytes() {
  std::string s(256, '\0');
  for (int i = 0; i < 256; ++i) s[i] = static_cast<char>(i);
  return s;
}

TEST(CodePage, EveryByteRoundTripsThroughEverySingleBytePage) {
  const std::string bytes = all_bytes();
  for (const auto& page : single_byte_pages()) {
    SCOPED_TRACE(page.iconv_name);
    std::u16string text = decode(page.codepage, bytes);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(encode(page.codepage, text), bytes);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(text[i], char16_t(i)) << "ASCII byte " << i;
    for (unsigned char b : page.undefined) EXPECT_EQ(text[b], char16_t(b)) << "undefined byte " << int(b);
  }
}

// Runs iconv over the bytes; nullopt when iconv could not be run or rejected them.
std::optional<std::string> run_iconv(const std::string& from, const std::string& to, const std::string& input) {
  char path[] = "/tmp/quazel-cp-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return std::nullopt;
  bool written = ::write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size());
  ::close(fd);
  std::optional<std::string> out;
  if (written) {
    std::string cmd = "iconv -f " + from + " -t " + to + " " + path + " 2>/dev/null";
    if (FILE* p = popen(cmd.c_str(), "r")) {
      std::string data;
      char buf[4096];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0) data.append(buf, n);
      if (pclose(p) == 0) out = std::move(data);
    }
  }
  ::unlink(path);
  return out;
}

std::u16string from_utf16le(const std::string& b) {
  std::u16string s;
  for (size_t i = 0; i + 1 < b.size(); i += 2)
    s.push_back(char16_t(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8)));
  return s;
}

std::string to_utf16le(std::u16string_view s) {
  std::string b;
  for (char16_t c : s) { b.push_back(char(c & 0xFF)); b.push_back(char(c >> 8)); }
  return b;
}

TEST(CodePage, DefinedBytesAgreeWithIconvBothWays) {
  if (system("command -v iconv >/dev/null 2>&1") != 0) GTEST_SKIP() << "iconv is not installed";
  for (const auto& page : single_byte_pages()) {
    SCOPED_TRACE(page.iconv_name);
    std::string defined;
    for (int b = 0; b < 256; ++b)
      if (std::find(page.undefined.begin(), page.undefined.end(), b) == page.undefined.end())
        defined.push_back(static_cast<char>(b));
    auto theirs = run_iconv(page.iconv_name, "UTF-16LE", defined);
    if (!theirs) GTEST_SKIP() << "iconv lacks " << page.iconv_name;
    std::u16string expected = from_utf16le(*theirs);
    std::u16string ours = decode(page.codepage, defined);
    ASSERT_EQ(ours.size(), expected.size());
    for (size_t i = 0; i < ours.size(); ++i)
      EXPECT_EQ(int(ours[i]), int(expected[i])) << "byte 0x" << std::hex << int(static_cast<unsigned char>(defined[i]));
    auto back = run_iconv("UTF-16LE", page.iconv_name, to_utf16le(ours));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(encode(page.codepage, ours), *back);
  }
}

TEST(CodePage, CharactersWithoutAByteBecomeQuestionMarks) {
  struct Case { int cp; std::u16string text; std::string bytes; };
  const Case cases[] = {
      {1251, u"\u00E9\u20AC\u0416", "?\x88\xC6"},
      {1252, u"\u0416\u20AC\u00E9", "?\x80\xE9"},
      {20866, u"\u20AC\u0416", "?\xF6"},
      {866, u"\u0401\u00E9", "\xF0?"},
      {28591, u"\u00FF\u0100", "\xFF?"},
      {1251, u"\U0001F600", "??"},  // each surrogate half on its own
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cp);
    EXPECT_EQ(encode(c.cp, c.text), c.bytes);
    EXPECT_EQ(encode_char(c.cp, c.text[0]), c.bytes[0] == '?' ? -1 : static_cast<unsigned char>(c.bytes[0]));
  }
}

TEST(CodePage, AliasesFollowTheLanguage) {
  EnvGuard env({"QUAZEL_LANGID", "LC_ALL", "LC_MESSAGES", "LANG"});
  EnvGuard::set("QUAZEL_LANGID", "1049");
  EXPECT_EQ(decode(0, "\xC0"), u"\u0410");        // page 1251: А
  EXPECT_EQ(decode(3, "\xC0"), u"\u0410");
  EXPECT_EQ(decode(1, "\x80"), u"\u0410");        // CP866 А
  EXPECT_EQ(decode(12345, "\xC0"), u"\u0410");    // unknown page: the ANSI page
  EXPECT_EQ(decode(-1, "\xC0"), u"\u0410");
  EXPECT_FALSE(code_page_supported(12345));
  EnvGuard::set("QUAZEL_LANGID", "1033");
  EXPECT_EQ(decode(0, "\xC0"), u"\u00C0");        // page 1252: À
  EXPECT_EQ(decode(1, "\x80"), u"\u00C7");        // CP437 Ç
  EXPECT_EQ(resolve_code_page(0), 1252);
  EXPECT_EQ(resolve_code_page(65001), 65001);
}

TEST(CodePage, Utf8PageEncodesAndDecodes) {
  EXPECT_EQ(encode(65001, u"\u0416a\u20AC"), "\xD0\x96" "a\xE2\x82\xAC");
  EXPECT_EQ(decode(65001, "\xD0\x96" "a\xE2\x82\xAC"), u"\u0416a\u20AC");
  EXPECT_EQ(encode(65001, u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(CodePage, ByteStringsKeepOddLengths) {
  Str bytes = encode_to_byte_string(1251, u"\u0410\u0431\u0432");  // Абв
  ASSERT_EQ(bytes.byte_size(), 3u);
  EXPECT_EQ(bytes.bytes()[0], 0xC0);
  EXPECT_EQ(bytes.bytes()[2], 0xE2);
  EXPECT_EQ(decode_byte_string(1251, bytes), u"\u0410\u0431\u0432");
  EXPECT_EQ(decode_byte_string(1251, Str()), u"");
}

TEST(Utf8Validation, AcceptsOnlyWellFormedSequences) {
  struct Case { std::string bytes; bool valid; };
  const Case cases[] = {
      {"", true},
      {"plain ascii", true},
      {"\xD0\x96", true},
      {"\xE2\x82\xAC", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xEF\xBB\xBF" "x", true},   // BOM
      {"\xC0\x80", false},          // overlong NUL
      {"\xC1\xBF", false},
      {"\xE0\x80\x80", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF0\x80\x80\x80", false},  // overlong
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xF5\x80\x80\x80", false},
      {"\x80", false},              // lone continuation
      {"\xD0", false},              // cut at the end
      {"\xE2\x82", false},
      {"\xE2\x28\xAC", false},      // bad continuation
      {"\xFF", false},
      {"\xCF\xF0\xE8", false},      // page 1251 "При"
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << ::testing::PrintToString(c.bytes);
}

TEST(ScriptBytes, Utf8WhenValidElseTheAnsiPage) {
  EnvGuard env({"QUAZEL_LANGID", "LC_ALL", "LC_MESSAGES", "LANG"});
  EnvGuard::set("QUAZEL_LANGID", "1049");
  EXPECT_EQ(decode_script_bytes("\xEF\xBB\xBF" "a\xD0\x96"), u"a\u0416");
  EXPECT_EQ(decode_script_bytes("a\xD0\x96"), u"a\u0416");
  EXPECT_EQ(decode_script_bytes("\xCF\xF0\xE8"), u"\u041F\u0440\u0438");
  EXPECT_EQ(decode_script_bytes("\xEF\xBB\xBF\xCF"), u"\u043F\u00BB\u0457\u041F");  // BOM kept as bytes
  EXPECT_EQ(decode_script_bytes(""), u"");
  EnvGuard::set("QUAZEL_LANGID", "1033");
  EXPECT_EQ(decode_script_bytes("\xCF\xF0\xE8"), u"\u00CF\u00F0\u00E8");
}

TEST(ScriptFiles, Utf8WhenValidElse1251WhateverTheLocale) {
  EnvGuard env({"QUAZEL_LANGID", "QUAZEL_SCRIPT_CP", "LC_ALL", "LC_MESSAGES", "LANG"});
  struct Case { const char* langid; const char* script_cp; int page; std::u16string text; } cases[] = {
      {"1033", nullptr, 1251, u"\u041F\u0440\u0438"},
      {"1049", nullptr, 1251, u"\u041F\u0440\u0438"},
      {"1049", "1252", 1252, u"\u00CF\u00F0\u00E8"},
      {"1033", "866", 866, u"\u2567\u0401\u0448"},
      {"1033", "65001", 1251, u"\u041F\u0440\u0438"},  // not a single-byte page: the default
      {"1033", "banana", 1251, u"\u041F\u0440\u0438"},
  };
  for (const Case& c : cases) {
    EnvGuard::set("QUAZEL_LANGID", c.langid);
    if (c.script_cp) EnvGuard::set("QUAZEL_SCRIPT_CP", c.script_cp);
    else ::unsetenv("QUAZEL_SCRIPT_CP");
    EXPECT_EQ(script_code_page(), c.page) << c.langid << " " << (c.script_cp ? c.script_cp : "-");
    EXPECT_EQ(decode_script_file("\xCF\xF0\xE8"), c.text) << c.langid;
    EXPECT_EQ(decode_script_file("\xEF\xBB\xBF" "a\xD0\x96"), u"a\u0416");
  }
}

TEST(Language, ChosenFromTheEnvironment) {
  struct Case { const char* langid; const char* lc_all; const char* lc_messages; const char* lang; int expected; };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, nullptr, 1033},
      {nullptr, nullptr, nullptr, "ru_RU.UTF-8", 1049},
      {nullptr, nullptr, nullptr, "en_US.UTF-8", 1033},
      {nullptr, nullptr, "ru_RU.UTF-8", "en_US.UTF-8", 1049},  // LC_MESSAGES before LANG
      {nullptr, "C", nullptr, "ru_RU.UTF-8", 1033},            // the first set variable decides
      {nullptr, "ru_UA", "en_US", nullptr, 1049},
      {nullptr, "", nullptr, "ru_RU", 1049},                   // empty counts as unset
      {nullptr, nullptr, nullptr, "RU_ru", 1033},              // the prefix is lower-case
      {"1049", nullptr, nullptr, "en_US", 1049},
      {"1049", nullptr, nullptr, nullptr, 1049},
      {"1033", "ru_RU", nullptr, nullptr, 1033},               // an explicit id wins
      {"0", nullptr, nullptr, "ru_RU", 1033},
      {"", nullptr, nullptr, "ru_RU", 1049},                   // empty id counts as unset
  };
  EnvGuard env({"QUAZEL_LANGID", "LC_ALL", "LC_MESSAGES", "LANG"});
  for (const auto& c : cases) {
    EnvGuard::set("QUAZEL_LANGID", c.langid);
    EnvGuard::set("LC_ALL", c.lc_all);
    EnvGuard::set("LC_MESSAGES", c.lc_messages);
    EnvGuard::set("LANG", c.lang);
    SCOPED_TRACE(std::string("QUAZEL_LANGID=") + (c.langid ? c.langid : "-") + " LC_ALL=" + (c.lc_all ? c.lc_all : "-") +
                 " LC_MESSAGES=" + (c.lc_messages ? c.lc_messages : "-") + " LANG=" + (c.lang ? c.lang : "-"));
    EXPECT_EQ(language_id(), c.expected);
    EXPECT_EQ(ansi_code_page(), c.expected == 1049 ? 1251 : 1252);
    EXPECT_EQ(oem_code_page(), c.expected == 1049 ? 866 : 437);
  }
}

TEST(Language, OutputCodePageFromTheEnvironment) {
  struct Case { const char* value; int expected; };
  const Case cases[] = {
      {nullptr, 65001}, {"", 65001}, {"65001", 65001}, {"1251", 1251}, {"1252", 1252}, {"866", 866},
      {"20866", 20866}, {"0", 1251}, {"12345", 65001}, {"1251x", 65001}, {"-1", 65001}, {"utf-8", 65001},
      {"99999999999999999999", 65001},
  };
  EnvGuard env({"QUAZEL_OUTPUT_CP", "QUAZEL_LANGID"});
  EnvGuard::set("QUAZEL_LANGID", "1049");
  for (const auto& c : cases) {
    EnvGuard::set("QUAZEL_OUTPUT_CP", c.value);
    EXPECT_EQ(output_code_page(), c.expected) << (c.value ? c.value : "(unset)");
  }
}

}  // namespace
}  // namespace qz
