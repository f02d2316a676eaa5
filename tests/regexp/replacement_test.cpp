// Regex::replace: the $ codes of the replacement text, Global, empty matches, and the
// translator's rewriting steps on small samples.
#include <gtest/gtest.h>

#include "match_render.h"
#include "script/regexp/regex.h"

namespace qz {
namespace {

struct ReplaceCase {
  const char* name;
  std::u16string_view pattern;
  const char* flags;
  std::u16string_view text;
  std::u16string_view replacement;
  std::u16string_view expected;
};

const ReplaceCase kCases[] = {
    {"groups_swapped", uR"((\w+)@(\w+))", "g", u"a@b c@d", u"$2@$1", u"b@a d@c"},
    {"whole_match", uR"(\d)", "g", u"a1b2", u"[$&]", u"a[1]b[2]"},
    {"before_and_after", uR"(b)", "", u"abc", u"[$`|$']", u"a[a|c]c"},
    {"before_is_whole_prefix", uR"(\d)", "g", u"a1b2", u"<$`>", u"a<a>b<a1b>"},
    {"dollar_dollar", uR"(a)", "", u"a", u"$$1$$", u"$1$"},
    {"unknown_codes_stay", uR"(a)", "", u"ab", u"$x$0$", u"$x$0$b"},
    {"group_beyond_count_stays", uR"(a)", "", u"a", u"$2", u"$2"},
    {"no_groups", uR"(a)", "", u"a", u"$1", u"$1"},
    {"one_digit_then_literal", uR"((a))", "", u"a", u"$10|$11", u"a0|a1"},
    {"leading_zero", uR"((a))", "", u"a", u"$01|$00", u"a|$00"},
    {"two_digits_when_group_exists", uR"((a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k))", "", u"abcdefghijk", u"$11$10$1",
     u"kja"},
    {"unmatched_group_is_empty", uR"((a)|(b))", "g", u"ab", u"[$1$2]", u"[a][b]"},
    {"first_only_unless_global", uR"(\d)", "", u"a1b2", u"#", u"a#b2"},
    {"global", uR"(\d)", "g", u"a1b2", u"#", u"a#b#"},
    {"ignore_case", uR"(B)", "gi", u"abcB", u"-", u"a-c-"},
    {"empty_matches_advance", uR"(x*)", "g", u"abc", u"-", u"-a-b-c-"},
    {"empty_after_nonempty", uR"(a*)", "g", u"baaac", u"-", u"-b--c-"},
    {"no_match_keeps_text", uR"(z)", "g", u"abc", u"$1", u"abc"},
    {"empty_text", uR"(^)", "g", u"", u"x", u"x"},
    {"multiline_line_starts", uR"(^)", "gm", u"a\nb\r\nc", u">", u">a\n>b\r>\n>c"},
    {"cyrillic_ignore_case", uR"(мир)", "gi", u"Мир, МИР", u"[$&]", u"[Мир], [МИР]"},
    {"line_continuation", uR"(_[ \x09]*\r\n)", "gi", u"a _ \t\r\nb", u"", u"a b"},
    {"directive_removal", uR"(\n<#--NoShowError>)", "gi", u"line1\r\n<#--noshowerror>\r\nline2\r\n", u"",
     u"line1\r\r\nline2\r\n"},
    {"carriage_return_runs", uR"(\r{2,100})", "gi", u"line1\r\r\nline2\r\n", u"", u"line1\nline2\r\n"},
    {"method_head", uR"(\n(.?)(Private |Public )*Method +([a-z0-9_]+))", "gi", u"\r\n*Public Method Go(a)\r\n Method B",
     u"\n$2Function $3", u"\r\nPublic Function Go(a)\r\nFunction B"},
    {"method_call", uR"(([^ =]+)\.(go)\((.+)\))", "i", u"x = obj.Go(1, 2)", u"$2($1,$3)", u"x = Go(obj,1, 2)"},
    {"escaped_reference", uR"(\$\$(\d+))", "i", u"x = $$5 & $$12", u"$$5", u"x = $5 & $$12"},
    {"slash_runs", uR"([\/]+)", "gi", u"C://a/b\\c", u"\\", u"C:\\a\\b\\c"},
    {"tilde_runs", uR"([\~]+)", "gi", u"a~~b~c", u"\r\n", u"a\r\nb\r\nc"},
};

class ReplaceTable : public testing::TestWithParam<ReplaceCase> {};
TEST_P(ReplaceTable, Replaces) {
  const ReplaceCase& c = GetParam();
  Regex rx;
  test::configure(rx, c.pattern, c.flags);
  EXPECT_EQ(test::show(rx.replace(c.text, c.replacement)), test::show(c.expected))
      << "pattern " << test::show(c.pattern) << " replacement " << test::show(c.replacement);
}
INSTANTIATE_TEST_SUITE_P(Codes, ReplaceTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ReplaceCase>& info) { return info.param.name; });

TEST(ReplaceFunction, ReceivesEachMatchInOrder) {
  Regex rx;
  test::configure(rx, uR"((\d)(x)?)", "g");
  std::u16string seen;
  std::u16string out = rx.replace(u"a1b2x", [&](const RegexMatch& m) {
    seen += m.value + u"@" + std::u16string(1, u'0' + m.index) + (m.groups[1].matched ? u"+" : u"-") + u";";
    return u"<" + m.groups[0].value + u">";
  });
  EXPECT_EQ(test::show(out), "a<1>b<2>");
  EXPECT_EQ(test::show(seen), "1@1-;2x@3+;");
}

}  // namespace
}  // namespace qz
