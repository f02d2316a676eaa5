// Small text helpers shared by the translator passes.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/regexp/regex.h"

namespace qz::tr {

inline constexpr std::u16string_view kCrLf = u"\r\n";

// A Regex as every translator pass uses it: ignore case on, MultiLine off.
void configure(Regex& rx, std::u16string_view pattern, bool global);

// `text` without the text of `matches` (found in `text`, in order, not overlapping).
std::u16string remove_matches(std::u16string_view text, const std::vector<RegexMatch>& matches);

// The section tags "\n<#" WORD ... ">" that the caseless pattern "\n<#WORD[=a-z0-9_]*>" finds
// (with `named`: "\n<#WORD=*([a-z0-9_]*)>", the name captured), found without the regular
// expression engine, which a plain script then never loads. `word` is lower-case ASCII.
// Nullopt where a character the pattern would look at is not ASCII: the caseless pattern
// folds some of those to ASCII letters (the Kelvin sign is a k), and the pattern decides.
std::optional<std::vector<RegexMatch>> find_tags(std::u16string_view text, std::u16string_view word, bool named);

// Decimal text of a number.
std::u16string num(long long n);

// ASCII-only text from a literal.
std::u16string ascii(std::string_view s);

// Case-insensitive search (simple Unicode case folding); npos when absent.
size_t ifind(std::u16string_view text, std::u16string_view needle, size_t from = 0);
bool icontains(std::u16string_view text, std::u16string_view needle);
bool iends_with(std::u16string_view text, std::u16string_view suffix);

// Whether a pass whose caseless pattern needs the ASCII text `literal` could find anything in
// `text`: false only when no place holds it. The patterns fold case the Unicode way (the
// Kelvin sign is a k), so any character beyond ASCII may stand for a letter. A pass that
// surely finds nothing skips compiling its pattern.
bool may_hold(std::u16string_view text, std::u16string_view literal);

// Every occurrence of `needle` (compared without regard to case, left to right, never
// overlapping) replaced by `replacement` as plain text.
std::u16string ireplace_all(std::u16string_view text, std::u16string_view needle, std::u16string_view replacement);
// Plain, case-sensitive replacement of every occurrence.
std::u16string replace_all(std::u16string_view text, std::u16string_view needle, std::u16string_view replacement);

// The text cut at every CR LF (a text without CR LF is one line; "" is one empty line).
std::vector<std::u16string_view> split_crlf(std::u16string_view text);

// Lone LF and lone CR become CR LF: the script language ends a line at either, and the
// translator finds its directives and sections only after a line feed.
std::u16string normalize_line_feeds(std::u16string_view text);

// A text as the inside of a VBScript string literal (double quotes doubled).
std::u16string quote_literal(std::u16string_view text);

}  // namespace qz::tr
