// qz::Regex: the language's regular-expression syntax and matching rules where they part from
// PCRE2's, the translator's own whole-text patterns, errors and limits.
#include "script/regexp/regex.h"

#include <gtest/gtest.h>

#include <chrono>

#include "com/error.h"
#include "match_render.h"

namespace qz {
namespace {

using test::configure;
using test::render;

struct ExecCase {
  const char* name;
  std::u16string_view pattern;
  const char* flags;
  std::u16string_view text;
  const char* expected;  // render() of the matches; "" for none
};

std::string run_execute(const ExecCase& c) {
  Regex rx;
  configure(rx, c.pattern, c.flags);
  return render(rx.execute(c.text));
}

std::u16string with_lone_surrogate() {
  std::u16string s = u"a?b";
  s[1] = 0xD800;
  return s;
}
const std::u16string kLoneSurrogate = with_lone_surrogate();

// Syntax the language defines differently from PCRE2.
const ExecCase kSyntaxCases[] = {
    {"vt_escape_is_one_char", uR"([ \t\v]+)", "g", u"a \v\tb\r\nc", "1: \\x0B\\t"},
    {"field_line_keeps_to_its_line", uR"(^[ \t\v]*([a-z0-9_]+))", "gi", u"\n  x", ""},
    {"dot_matches_cr_not_lf", uR"(a.b)", "g", u"a\rb a\nb", "0:a\\rb"},
    {"dollar_only_at_very_end", uR"(a$)", "g", u"a\na\n", ""},
    {"dollar_at_end", uR"(a$)", "g", u"a\na", "2:a"},
    {"caret_only_at_start", uR"(^\w)", "g", u"ab\ncd", "0:a"},
    {"multiline_lf", uR"(^\w+$)", "gm", u"ab\ncd\n", "0:ab | 3:cd"},
    {"multiline_cr_ends_lines_too", uR"(^\w+)", "gm", u"ab\rcd\r\nef", "0:ab | 3:cd | 7:ef"},
    {"multiline_dollar_before_cr", uR"(\w+$)", "gm", u"ab\r\ncd", "0:ab | 4:cd"},
    {"identity_escapes", uR"(^[^\"]*\"[a-z]\:\/)", "gi", u"run \"C:/x", "0:run \"C:/"},
    {"tilde_escape", uR"([\~]+)", "g", u"a~~b~c", "1:~~ | 4:~"},
    {"unknown_letter_escape_is_letter", uR"(\q\y\z\A\Z\K\Q\E\R\X)", "", u"qyzAZKQERX", "0:qyzAZKQERX"},
    {"pcre_property_syntax_is_literal", uR"(\p{L})", "", u"ap{L}", "1:p{L}"},
    {"hex_escape", uR"(\x41\x4g)", "", u"Ax4g", "0:Ax4g"},
    {"unicode_escape", uR"(\u0416\u12)", "", u"Жu12", "0:Жu12"},
    {"control_escape", uR"(\cJ\c1)", "", u"\n\\c1", "0:\\n\\c1"},
    {"nul_and_octal", uR"(\0\101\8)", "", std::u16string_view(u"\0A8", 3), "0:\\x00A8"},
    {"backspace_in_class", uR"([\b]+)", "", u"a\b\bb", "1:\\x08\\x08"},
    {"digit_ascii_only", uR"(\d+)", "g", u"\u0661\u06623", "2:3"},
    {"word_ascii_only", uR"(\w+)", "g", u"aé_b", "0:a | 2:_b"},
    {"word_ascii_only_ignore_case", uR"(\w+)", "gi", u"aé_b\u212A", "0:a | 2:_b"},
    {"not_word_ignore_case", uR"(\W)", "gi", u"k\u212As", "1:\u212A"},
    {"space_set", uR"(\s+)", "g", u"a \t\v\f\r\nb", "1: \\t\\x0B\\x0C\\r\\n"},
    {"boundary_ascii", uR"(\bfoo\b)", "g", u"foo éfooé xfoo foo_ foo", "0:foo | 5:foo | 20:foo"},
    {"boundary_ascii_ignore_case", uR"(\bfoo\b)", "gi", u"FOO éfooé xfoo foo_ Foo", "0:FOO | 5:foo | 20:Foo"},
    {"not_boundary", uR"(\Bo\B)", "gi", u"foo o xoy", "1:o | 7:o"},
    {"empty_class_matches_nothing", uR"(a[]|b)", "g", u"ab", "1:b"},
    {"negated_empty_class_matches_all", uR"(a[^]b)", "g", u"a\nb", "0:a\\nb"},
    {"full_classes_ignore_case_take_everything", uR"(a[\s\S][\d\D][^]b)", "gi", u"A\n\u212AxB", "0:A\\n\u212AxB"},
    {"negated_full_class_matches_nothing", uR"(a[^\w\W]|b)", "gi", u"ab", "1:b"},
    {"posix_class_is_plain_class", uR"([[:alpha:]]+)", "g", u"xa]", "1:a]"},
    {"hash_and_space_are_literal", uR"(a # b)", "", u"xa # b", "1:a # b"},
    {"literal_braces", uR"(a{,2}b{x}c{)", "", u"a{,2}b{x}c{", "0:a{,2}b{x}c{"},
    {"counted_repeat", uR"(a{2}|b{1,2}?|c{2,})", "g", u"aaabbccc", "0:aa | 3:b | 4:b | 5:ccc"},
    {"range_with_set_end_is_literal_dash", uR"([\d-z]+)", "g", u"5-z a", "0:5-z"},
    {"class_escapes_inside", uR"([\x41-\x43\u0416\-]+)", "g", u"ABCЖ-D", "0:ABCЖ-"},
    {"negated_class_sets", uR"([^\D\s]+)", "g", u"a12 3", "1:12 | 4:3"},
    {"lazy", uR"(<.+?>)", "g", u"<a><b>", "0:<a> | 3:<b>"},
    {"lazy_group", uR"(([\d\D]+?)end)", "g", u"x\r\nend yend", "0:x\\r\\nend(x\\r\\n) | 6: yend( y)"},
    {"lookahead", uR"(\w+(?=;)|(?!x)\d)", "g", u"ab;x1", "0:ab | 4:1"},
    {"quantified_lookahead", uR"((?=a)*a)", "g", u"aa", "0:a | 1:a"},
    {"backref", uR"((\w)\1)", "g", u"aab cc", "0:aa(a) | 4:cc(c)"},
    {"unset_backref_is_empty", uR"((a)?b\1)", "g", u"b", "0:b(~)"},
    {"backref_ignore_case", uR"((a)\1)", "i", u"aA", "0:aA(a)"},
    {"backref_needs_preceding_group", uR"(\1(a))", "", u"\x01" u"a", "0:\\x01a(a)"},
    {"backref_then_literal_digit", uR"((a)\12)", "", u"aa2", "0:aa2(a)"},
    {"two_digit_backref", uR"((a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\10)", "", u"abcdefghijj",
     "0:abcdefghijj(a,b,c,d,e,f,g,h,i,j)"},
    {"alternation_groups", uR"((a)|(b))", "g", u"ab", "0:a(a,~) | 1:b(~,b)"},
    {"noncapturing_group", uR"((?:a|b)+(c))", "", u"abac", "0:abac(c)"},
    {"nul_in_pattern_and_text", std::u16string_view(u"a\0b", 3), "", std::u16string_view(u"xa\0b", 4),
     "1:a\\x00b"},
};

// Matching rules of the language's engine.
const ExecCase kMatchCases[] = {
    {"empty_matches_advance", uR"(x*)", "g", u"abc", "0: | 1: | 2: | 3:"},
    {"empty_then_nonempty", uR"(a*)", "g", u"baaac", "0: | 1:aaa | 4: | 5:"},
    {"not_global_first_only", uR"(\d)", "", u"a1b2", "1:1"},
    {"global_all", uR"(\d)", "g", u"a1b2", "1:1 | 3:2"},
    {"empty_text", uR"(^$)", "g", u"", "0:"},
    {"no_match", uR"(z)", "g", u"abc", ""},
    {"ignore_case_latin", uR"(B)", "i", u"abc", "1:b"},
    {"case_sensitive", uR"(B)", "", u"abc", ""},
    {"ignore_case_cyrillic", uR"(привет)", "i", u"ПРИВЕТ мир", "0:ПРИВЕТ"},
    {"ignore_case_cyrillic_range", uR"([а-я]+)", "gi", u"ЖУК ёж", "0:ЖУК | 5:ж"},
    {"ignore_case_accented", uR"(éa)", "i", u"ÉA", "0:ÉA"},
    {"cyrillic_case_sensitive", uR"(привет)", "", u"ПРИВЕТ", ""},
    {"negated_class_ignore_case", uR"([^a]+)", "gi", u"AbA", "1:b"},
    {"lone_surrogate_dot", uR"(a.b)", "", kLoneSurrogate, "0:a\\uD800b"},
    {"lone_surrogate_class", uR"([\d\D]+)", "", kLoneSurrogate, "0:a\\uD800b"},
    {"lone_surrogate_escape", uR"(\ud800)", "g", kLoneSurrogate, "1:\\uD800"},
    {"surrogate_pair_is_two_units", uR"(^..$)", "", u"😀", "0:😀"},
    {"lookbehind_sees_text_before_start", uR"(\bb)", "g", u"ab b", "3:b"},
};

// The translator's patterns (Global and IgnoreCase on, MultiLine off) on small samples.
const ExecCase kTranslatorCases[] = {
    {"line_continuation", uR"(_[ \x09]*\r\n)", "gi", u"a _ \t\r\nb_\r\nc", "2:_ \\t\\r\\n | 8:_\\r\\n"},
    {"include", uR"(\n#Include\ +\"([^\"]+)\")", "i", u"\r\n#include  \"a.qz\"\r\n#Include \"b\"",
     "1:\\n#include  \"a.qz\"(a.qz)"},
    {"include_not_mid_line", uR"(\n#Include\ +\"([^\"]+)\")", "gi", u"\r\nx #Include \"a\"", ""},
    {"russian_directive", uR"(\n<#--AddRus>)", "gi", u"\r\n<#--addrus>\r\n", "1:\\n<#--addrus>"},
    {"develop", uR"(\n<#--Develop=\"([^\"]+)\">)", "gi", u"\r\n<#--Develop=\"a@b.c\">", "1:\\n<#--Develop=\"a@b.c\">(a@b.c)"},
    {"level_run", uR"(\n<#--LevelRun=[a-z0-9_]*>)", "gi", u"\r\n<#--LevelRun=No_File>\r\n<#--LevelRun=No_x1>",
     "1:\\n<#--LevelRun=No_File> | 24:\\n<#--LevelRun=No_x1>"},
    {"lib", uR"(\n#Lib +<([^>]+)>)", "gi", u"\r\n#lib <%x%\\a.qzl>\r\n#Lib  <b>", "1:\\n#lib <%x%\\a.qzl>(%x%\\a.qzl) | 19:\\n#Lib  <b>(b)"},
    {"interpreter_line_only_at_start", uR"(^#![^\r]+)", "gi", u"#!/bin/qz\r\n#!x", "0:#!/bin/qz"},
    {"carriage_return_runs", uR"(\r{2,100})", "gi", u"a\r\r\nb\rc\r\r\r", "1:\\r\\r | 7:\\r\\r\\r"},
    {"leading_breaks", uR"(^[\r\n]+)", "gi", u"\r\n\r\nx\r\n", "0:\\r\\n\\r\\n"},
    {"type_block", uR"(\n(private |public )*type +([a-z0-9_]+)([\d\D]+?)end type)", "gi",
     u"\r\nPrivate Type TPoint\r\n  x As Long\r\nEnd Type\r\n  Type Bad\r\nend type\r\nType T2\r\ns As String * 5\r\nEND TYPE",
     "1:\\nPrivate Type TPoint\\r\\n  x As Long\\r\\nEnd Type(Private ,TPoint,\\r\\n  x As Long\\r\\n) | "
     "67:\\nType T2\\r\\ns As String * 5\\r\\nEND TYPE(~,T2,\\r\\ns As String * 5\\r\\n)"},
    {"field_line", uR"(^[ \t\v]*([a-z0-9_]+)\(*(\d*)\)*\ *as\ *(var|long|string|integer|byte|single|double|currency|[^\ ]+)\ *\**\ *(\d*))",
     "gi", u"\t name(10) As String * 32", "0:\\t name(10) As String * 32(name,10,String,32)"},
    {"field_line_cut_to_type_word", uR"(^[ \t\v]*([a-z0-9_]+)\(*(\d*)\)*\ *as\ *(var|long|string|integer|byte|single|double|currency|[^\ ]+)\ *\**\ *(\d*))",
     "gi", u"v As Variant", "0:v As Var(v,,Var,)"},
    {"typed_dim", uR"(Dim +([a-z0-9_]+)\(*([a-z0-9_]*)\)*\ +as\ +(new )*([a-z0-9_]+))", "gi",
     u"Dim a(n) As New TPoint\r\nReDim b As T", "0:Dim a(n) As New TPoint(a,n,New ,TPoint) | 26:Dim b As T(b,,~,T)"},
    {"declare", uR"(\n(private |public )*declare +(function|sub) +([a-z0-9_]+) +Lib +\"([^\"]+)\" +(alias +\"([^\"]+)\" +)*\(([^\)]*)\)( as )?([a-z0-9_]*))",
     "gi", u"\r\nPublic Declare Function GetTick Lib \"k32\" Alias \"GetTickCount\" (ByVal a, b) As Long",
     "1:\\nPublic Declare Function GetTick Lib \"k32\" Alias \"GetTickCount\" (ByVal a, b) As Long"
     "(Public ,Function,GetTick,k32,Alias \"GetTickCount\" ,GetTickCount,ByVal a, b, As ,Long)"},
    {"declare_params", uR"([^\,]+)", "gi", u"ByVal a, b,c", "0:ByVal a | 8: b | 11:c"},
    {"method", uR"(\n(.?)(Private |Public )*Method +([a-z0-9_]+))", "gi", u"\r\n*Public Method Go\r\n\tMethod Stop",
     "1:\\n*Public Method Go(*,Public ,Go) | 20:\\n\\tMethod Stop(\\t,~,Stop)"},
    {"method_call", uR"(([^ =]+)\.(go)\((.+)\))", "gi", u"x = obj.Go(1, f(2))\r\n", "4:obj.Go(1, f(2))(obj,Go,1, f(2))"},
    {"match_operator", uR"(([a-z][a-z0-9\_\.\(\)]*) *=~ *([igm]*)\/(.*?[^\\])\/(.*)\/)", "gi",
     u"If s.x =~ ig/a\\/b/c/ Then", "3:s.x =~ ig/a\\/b/c/(s.x,ig,a\\/b,c)"},
    {"match_reference", uR"(([^\$])(\$|\^\^)(\d+)\_*(\d*))", "gi", u"x = $2_3 & ^^1 & $$5",
     "3: $2_3( ,$,2,3) | 10: ^^1( ,^^,1,)"},
    {"resource_tag", uR"(<#res *(id=)*([a-z0-9]*) *(name=\")*([^\"]*)\"* *(:base64)* *#>)", "gi",
     u"<#res id=7 name=\"a b\" :base64 #>data<#res#>",
     "0:<#res id=7 name=\"a b\" :base64 #>(id=,7,name=\",a b,:base64) | 36:<#res#>(~,,~,,~)"},
    {"path_macros", uR"(%([^%]+)%)", "gi", u"%a%%b% %c%d%", "0:%a%(a) | 3:%b%(b) | 7:%c%(c)"},
    {"command_line_run", uR"(\/run[\r\n]*$)", "gi", u"code~more /run\r\n", "10:/run\\r\\n"},
    {"command_line_multiline", uR"(^(.+)\/run)", "gim", u"a/run b/run", "0:a/run b/run(a/run b)"},
    {"content_length", uR"(Content\-Length: +(\d+))", "i", u"content-length:  42\r\n", "0:content-length:  42(42)"},
    {"key_value", uR"((\w+)=(\w+))", "", u"key=val", "0:key=val(key,val)"},
};

class ExecuteTable : public testing::TestWithParam<ExecCase> {};
TEST_P(ExecuteTable, Matches) {
  const ExecCase& c = GetParam();
  EXPECT_EQ(run_execute(c), c.expected) << "pattern " << test::show(c.pattern) << " flags " << c.flags;
}
std::string case_name(const testing::TestParamInfo<ExecCase>& info) { return info.param.name; }
INSTANTIATE_TEST_SUITE_P(Syntax, ExecuteTable, testing::ValuesIn(kSyntaxCases), case_name);
INSTANTIATE_TEST_SUITE_P(Matching, ExecuteTable, testing::ValuesIn(kMatchCases), case_name);
INSTANTIATE_TEST_SUITE_P(Translator, ExecuteTable, testing::ValuesIn(kTranslatorCases), case_name);

struct ErrorCase {
  std::u16string_view pattern;
  int32_t number;
};
const ErrorCase kErrorCases[] = {
    {u"(", 5020},        {u"(a(b)", 5020},   {u"a**", 5018},      {u"a++", 5018},     {u"*a", 5018},
    {u"a|?", 5018},      {u"(?:+)", 5018},   {u"^*", 5018},       {u"\\b+", 5018},    {u"(*ACCEPT)", 5018},
    {u"a{2}{3}", 5018},  {u"[a", 5019},      {u"[\\]", 5019},     {u"[a-", 5019},     {u"[z-a]", 5021},
    {u"a)", 5017},       {u"(?<=a)b", 5017}, {u"(?<n>a)", 5017},  {u"(?i)a", 5017},   {u"a\\", 5017},
    {u"a{3,1}", 5017},   {u"a{70000}", 5017},
};

TEST(RegexErrors, BadPatternsRaiseTheirNumber) {
  for (const ErrorCase& c : kErrorCases) {
    for (const char* flags : {"", "gim"}) {
      Regex rx;
      configure(rx, c.pattern, flags);
      try {
        rx.test(u"abc");
        ADD_FAILURE() << "no error for " << test::show(c.pattern);
      } catch (const ScriptError& e) {
        EXPECT_EQ(e.number, c.number) << test::show(c.pattern);
        EXPECT_FALSE(e.description.empty());
      }
    }
  }
}

TEST(RegexErrors, EveryEntryPointRaisesAndAFixedPatternRecovers) {
  Regex rx;
  rx.set_pattern(u"(");
  EXPECT_THROW(rx.test(u"x"), ScriptError);
  EXPECT_THROW(rx.execute(u"x"), ScriptError);
  EXPECT_THROW(rx.replace(u"x", u"y"), ScriptError);
  EXPECT_THROW(rx.group_count(), ScriptError);
  try {
    rx.test(u"x");
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 5020);
  }
  rx.set_pattern(u"(x)");
  EXPECT_TRUE(rx.test(u"x"));
  EXPECT_EQ(rx.group_count(), 1u);
}

TEST(RegexSettings, ChangingASettingRecompiles) {
  Regex rx;
  rx.set_pattern(u"^b");
  EXPECT_FALSE(rx.test(u"a\nB"));
  rx.set_ignore_case(true);
  EXPECT_FALSE(rx.test(u"a\nB"));
  rx.set_multiline(true);
  EXPECT_TRUE(rx.test(u"a\nB"));
  rx.set_ignore_case(false);
  EXPECT_FALSE(rx.test(u"a\nB"));
  rx.set_pattern(u"^B");
  EXPECT_TRUE(rx.test(u"a\nB"));
  EXPECT_EQ(rx.pattern(), u"^B");
  EXPECT_TRUE(rx.multiline());
  EXPECT_FALSE(rx.ignore_case());
  EXPECT_FALSE(rx.global());
}

TEST(RegexSettings, TestIgnoresGlobal) {
  Regex rx;
  configure(rx, u"b", "g");
  EXPECT_TRUE(rx.test(u"abc"));
  EXPECT_TRUE(rx.test(u"abc"));  // no position is carried from one call to the next
  EXPECT_FALSE(rx.test(u"ac"));
}

TEST(RegexLimits, RunawayBacktrackingEndsWithAnError) {
  Regex rx;
  configure(rx, u"(a+)+$", "");
  std::u16string text(40, u'a');
  text += u'b';
  auto start = std::chrono::steady_clock::now();
  try {
    rx.test(text);
    ADD_FAILURE() << "expected a limit error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, kErrOutOfStack);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// A script-sized text: many type blocks separated by ordinary lines, about 1 MB.
std::u16string big_script(size_t blocks) {
  std::u16string s = u"\r\n";
  for (size_t i = 0; i < blocks; ++i) {
    s += u"Type T" + std::u16string(1, u'a' + i % 26) + u"\r\n  x As Long\r\n  name As String * 20\r\nEnd Type\r\n";
    for (int k = 0; k < 20; ++k) s += u"  x = x + 1 ' some ordinary code line\r\n";
  }
  return s;
}

TEST(RegexLimits, WholeTextPatternsOverAMegabyte) {
  std::u16string text = big_script(1000);
  ASSERT_GT(text.size(), 800'000u);
  Regex rx;
  configure(rx, uR"(\n(private |public )*type +([a-z0-9_]+)([\d\D]+?)end type)", "gi");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(rx.execute(text).size(), 1000u);
  // A lazy group that spans the whole text, and a group repeated once per character.
  configure(rx, uR"(^([\d\D]+?)zzz_never)", "gi");
  EXPECT_TRUE(rx.execute(text).empty());
  configure(rx, uR"(^(?:.|\n)*?End Type\r\n$)", "i");
  EXPECT_EQ(rx.execute(text).size(), 0u);
  configure(rx, uR"(^(?:.|\n)*$)", "");
  auto whole = rx.execute(text);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0].length, text.size());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(RegexMatchData, GroupOffsetsAndValues) {
  Regex rx;
  configure(rx, u"(a)|(b)(c)?", "g");
  auto m = rx.execute(u"xbab");
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].index, 1u);
  EXPECT_EQ(m[0].length, 1u);
  ASSERT_EQ(m[0].groups.size(), 3u);
  EXPECT_FALSE(m[0].groups[0].matched);
  EXPECT_TRUE(m[0].groups[1].matched);
  EXPECT_EQ(m[0].groups[1].index, 1u);
  EXPECT_EQ(m[0].groups[1].value, u"b");
  EXPECT_FALSE(m[0].groups[2].matched);
  EXPECT_EQ(m[1].groups[0].index, 2u);
}

}  // namespace
}  // namespace qz
