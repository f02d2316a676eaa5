#include "engine/command_line.h"

#include "com/str.h"
#include "engine/script_trim.h"
#include "engine/translator/text_util.h"

namespace qz {

namespace {

bool is_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Line terminators as the regular expressions see them ("." stops at them, "^" follows them).
bool is_line_break(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

// Each run of `c` becomes `to`.
std::u16string collapse_runs(std::u16string_view s, char16_t c, std::u16string_view to) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == c) {
      while (i < s.size() && s[i] == c) ++i;
      out += to;
    } else {
      out += s[i++];
    }
  }
  return out;
}

// ^[^"]*"[a-z]:/
bool is_quoted_drive_line(std::u16string_view s) {
  size_t q = s.find(u'"');
  return q != std::u16string_view::npos && q + 3 < s.size() && is_letter(s[q + 1]) && s[q + 2] == u':' &&
         s[q + 3] == u'/';
}

// /run[\r\n]*$, any letter case
bool ends_with_run(std::u16string_view s) {
  size_t end = s.size();
  while (end > 0 && (s[end - 1] == u'\r' || s[end - 1] == u'\n')) --end;
  return end >= 4 && s[end - 4] == u'/' && iequals(s.substr(end - 3, 3), u"run");
}

// Mode 1: ^([^"]*)"*([^"]+)
ParsedCommand parse_quoted_drive(std::u16string_view s) {
  ParsedCommand r;
  r.mode = ParsedCommand::Mode::QuotedDrivePath;
  size_t q = s.find(u'"');
  size_t p = q;
  while (p < s.size() && s[p] == u'"') ++p;
  size_t e = s.find(u'"', p);
  std::u16string_view path = s.substr(p, e == std::u16string_view::npos ? std::u16string_view::npos : e - p);
  r.file = collapse_runs(trim_blanks(path), u'/', u"\\");
  r.arg = trim_blanks(s.substr(0, q));
  return r;
}

// Mode 2: the text before the last "/run" of the first line that has one after at least one
// character (^(.+)/run, multi-line, after CR LF became <#vbcrlf#>).
ParsedCommand parse_inline(std::u16string_view line) {
  ParsedCommand r;
  r.mode = ParsedCommand::Mode::Inline;
  r.arg = u"run";
  std::u16string s = tr::replace_all(line, u"\r\n", u"<#vbcrlf#>");
  std::u16string code;
  for (size_t start = 0; start <= s.size();) {
    size_t end = start;
    while (end < s.size() && !is_line_break(s[end])) ++end;
    std::u16string_view text(s.data() + start, end - start);
    bool found = false;
    for (size_t k = text.size(); k-- > 1;) {
      if (k + 4 <= text.size() && text[k] == u'/' && iequals(text.substr(k + 1, 3), u"run")) {
        code = trim_blanks(text.substr(0, k));
        found = true;
        break;
      }
    }
    if (found || end >= s.size()) break;
    start = end + 1;
  }
  r.file = collapse_runs(tr::replace_all(code, u"<#vbcrlf#>", u"\r\n"), u'~', u"\r\n");
  return r;
}

// A path to an existing file at the start of the line, up to the first blank or the closing
// quote; the rest without leading blanks and one run of "/" is the argument text.
std::optional<ParsedCommand> parse_existing_file(std::u16string_view s,
                                                 const std::function<bool(std::u16string_view)>& is_file) {
  std::u16string_view path, rest;
  if (!s.empty() && s[0] == u'"') {
    size_t close = s.find(u'"', 1);
    if (close == std::u16string_view::npos) return std::nullopt;
    path = s.substr(1, close - 1);
    rest = s.substr(close + 1);
  } else {
    size_t blank = s.find(u' ');
    path = s.substr(0, blank);
    rest = blank == std::u16string_view::npos ? std::u16string_view() : s.substr(blank);
  }
  if (path.empty() || !is_file(path)) return std::nullopt;
  size_t p = 0;
  while (p < rest.size() && rest[p] == u' ') ++p;
  while (p < rest.size() && rest[p] == u'/') ++p;
  ParsedCommand r;
  r.file = std::u16string(path);
  r.arg = trim_blanks(rest.substr(p));
  return r;
}

// Mode 0: ^"*([^/"]+)"*/*([^"]*)
ParsedCommand parse_path(std::u16string_view s) {
  ParsedCommand r;
  r.file = std::u16string(s);
  size_t p = 0;
  while (p < s.size() && s[p] == u'"') ++p;
  size_t b = p;
  while (p < s.size() && s[p] != u'/' && s[p] != u'"') ++p;
  if (p == b) return r;  // no match: the whole line stays, the argument is not set
  std::u16string_view path = s.substr(b, p - b);
  while (p < s.size() && s[p] == u'"') ++p;
  while (p < s.size() && s[p] == u'/') ++p;
  size_t a = p;
  while (p < s.size() && s[p] != u'"') ++p;
  r.file = trim_blanks(path);
  r.arg = trim_blanks(s.substr(a, p - a));
  return r;
}

}  // namespace

ParsedCommand parse_command_line(std::u16string_view line,
                                 const std::function<bool(std::u16string_view)>& is_file) {
  if (ends_with_run(line)) return parse_inline(line);
  if (is_quoted_drive_line(line)) return parse_quoted_drive(line);
  if (auto existing = parse_existing_file(line, is_file)) return *existing;
  return parse_path(line);
}

}  // namespace qz
