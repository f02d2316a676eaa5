// Rewrites a pattern in the language's regular-expression syntax (JavaScript style) into an
// equivalent PCRE2 pattern, so that no PCRE2 extension or differing escape can leak through:
// every literal is spelled out, \d \w \s \b get their ASCII meaning, `.` excludes only LF,
// and `^`/`$` follow the MultiLine rules (line ends are LF and CR).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

struct TranslatedPattern {
  std::u16string pcre;       // PCRE2 syntax, for a compile without PCRE2_MULTILINE/EXTENDED
  uint32_t group_count = 0;  // capturing groups
};

struct PatternFlags {
  bool multiline = false;
  // The pattern is compiled with PCRE2_UCP (for Unicode case folding): word boundaries must then
  // be spelled out, since PCRE2's own \b would use Unicode word characters.
  bool unicode_props = false;
};

// Raises ScriptError for a pattern the language rejects: 5017 "Syntax error in regular
// expression", 5018 "Unexpected quantifier", 5019 "Expected ']' in regular expression",
// 5020 "Expected ')' in regular expression", 5021 "Invalid range in character set".
TranslatedPattern translate_pattern(std::u16string_view pattern, PatternFlags flags);

enum : int32_t {
  kErrRegexSyntax = 5017, kErrRegexQuantifier = 5018, kErrRegexBracket = 5019,
  kErrRegexParen = 5020, kErrRegexRange = 5021,
};

}  // namespace qz
