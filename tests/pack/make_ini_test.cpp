// Reading make.ini: sections, key lines, [resfile] and [resource] lines, with CR LF or LF.
#include <gtest/gtest.h>

#include "engine/make/make_ini.h"

namespace qz::make {
namespace {

TEST(MakeIni, SectionsRunToTheNextBracketAndTheFirstWithTextCounts) {
  const std::u16string ini = u"x\r\n[Options]\r\nfile=a\r\n[resfile]\r\nr=*t\r\n[OPTIONS]\r\nfile=b\r\n";
  EXPECT_EQ(section_text(ini, u"options"), u"\r\nfile=a\r\n");
  EXPECT_EQ(section_text(ini, u"resfile"), u"\r\nr=*t\r\n");
  EXPECT_EQ(section_text(ini, u"resource"), u"");
  // A header directly followed by "[" has no text; the next header of that name is taken.
  EXPECT_EQ(section_text(u"[options][options]\nx=1", u"options"), u"\nx=1");
  EXPECT_EQ(section_text(u"[options]", u"options"), u"");
}

TEST(MakeIni, KeyLinesWithEitherLineEnd) {
  struct Case {
    const char* name;
    std::u16string section;
    std::u16string key;
    bool allow_empty;
    std::optional<std::u16string> value;
  };
  const Case cases[] = {
      {"crlf", u"\r\nfile = out.qz\r\ntitle=T\r\n", u"file", false, u"out.qz"},
      {"lf alone", u"\nfile = out.qz\ntitle=T\n", u"file", false, u"out.qz"},
      {"lf at the end of the text", u"\ntitle=T", u"title", false, u"T"},
      {"key in capitals, spaces around =", u"\nFILE   =   a b \r\n", u"file", false, u"a b "},
      {"first of two", u"\nfile=a\nfile=b\n", u"file", false, u"a"},
      {"a key must start its line", u"\n file=a\n", u"file", false, std::nullopt},
      {"a longer key is another key", u"\nfilename=a\nfile=b\n", u"file", false, u"b"},
      {"empty value does not count", u"\nfile=\r\nfile=b\r\n", u"file", false, u"b"},
      {"empty title counts", u"\ntitle=\r\n", u"title", true, u""},
      {"empty title with blanks", u"\ntitle=   \r\n", u"title", true, u""},
      {"blanks alone read as one blank", u"\nfile =   \r\n", u"file", false, u" "},
      {"missing", u"\nother=1\r\n", u"title", true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(key_value(c.section, c.key, c.allow_empty), c.value);
  }
}

TEST(MakeIni, WordKeys) {
  EXPECT_TRUE(key_starts_with(u"\r\ntype = FULL\r\n", u"type", u"full"));
  EXPECT_TRUE(key_starts_with(u"\ncompile=exe\n", u"compile", u"exe"));
  EXPECT_TRUE(key_starts_with(u"\ntype=light\ntype=full\n", u"type", u"full"));
  EXPECT_FALSE(key_starts_with(u"\ntype=light\n", u"type", u"full"));
  EXPECT_FALSE(key_starts_with(u"type=full\n", u"type", u"full"));  // no line feed before it
}

TEST(MakeIni, ResfileLines) {
  const std::u16string section =
      u"\r\nlogo:base64 = C:\\pics\\logo.png\r\nReadMe=*first<#vbcrlf#>second\r\n"
      u"raw:BASE64=data.bin\nbad-name=x\r\n  indented=x\r\nempty=\r\nlast=z";
  auto lines = resfile_lines(section);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].name, u"logo");
  EXPECT_EQ(lines[0].flag, u":base64");
  EXPECT_EQ(lines[0].value, u"C:\\pics\\logo.png");
  EXPECT_EQ(lines[1].name, u"ReadMe");
  EXPECT_EQ(lines[1].flag, u"");
  EXPECT_EQ(lines[1].value, u"*first<#vbcrlf#>second");
  EXPECT_EQ(lines[2].flag, u":BASE64");
  EXPECT_EQ(lines[2].value, u"data.bin");
  EXPECT_EQ(lines[3].name, u"last");
}

TEST(MakeIni, ResourceEditLines) {
  const std::u16string section =
      u"\r\nversion.set...0409.FileDescription = My program\r\n"
      u"string.remove.1033...12 = x\n"
      u"24..0...1 = manifest.xml\r\n"
      u"version..x.y.z.k = not a line (lang is digits)\r\n"
      u"version.set.0.sec.zz.k = not a line (table is hex)\r\n";
  auto edits = resource_edits(section);
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, u"version");
  EXPECT_EQ(edits[0].action, u"set");
  EXPECT_EQ(edits[0].lang, u"");
  EXPECT_EQ(edits[0].section, u"");
  EXPECT_EQ(edits[0].table, u"0409");
  EXPECT_EQ(edits[0].key, u"FileDescription");
  EXPECT_EQ(edits[0].value, u"My program");
  EXPECT_EQ(edits[1].action, u"remove");
  EXPECT_EQ(edits[1].lang, u"1033");
  EXPECT_EQ(edits[1].key, u"12");
  EXPECT_EQ(edits[2].kind, u"24");
  EXPECT_EQ(edits[2].value, u"manifest.xml");
}

}  // namespace
}  // namespace qz::make
