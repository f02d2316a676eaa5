// Renders regex results as short readable text for table-driven expectations:
// "index:value(group,group)" per match, joined by " | "; a group that did not take part is "~".
// Control characters print as \n \r \t \xHH, lone surrogates as \uHHHH, the rest as UTF-8.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "script/regexp/regex.h"

namespace qz::test {

inline std::string show(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    char buf[16];
    if (c == u'\n') { out += "\\n"; continue; }
    if (c == u'\r') { out += "\\r"; continue; }
    if (c == u'\t') { out += "\\t"; continue; }
    if (c < 0x20) { std::snprintf(buf, sizeof buf, "\\x%02X", unsigned(c)); out += buf; continue; }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
      out += buf;
      continue;
    }
    if (c < 0x80) { out += char(c); }
    else if (c < 0x800) { out += char(0xC0 | (c >> 6)); out += char(0x80 | (c & 0x3F)); }
    else if (c < 0x10000) { out += char(0xE0 | (c >> 12)); out += char(0x80 | ((c >> 6) & 0x3F)); out += char(0x80 | (c & 0x3F)); }
    else { out += char(0xF0 | (c >> 18)); out += char(0x80 | ((c >> 12) & 0x3F)); out += char(0x80 | ((c >> 6) & 0x3F)); out += char(0x80 | (c & 0x3F)); }
  }
  return out;
}

inline std::string render(const std::vector<RegexMatch>& matches) {
  std::string out;
  for (const RegexMatch& m : matches) {
    if (!out.empty()) out += " | ";
    out += std::to_string(m.index) + ":" + show(m.value);
    if (m.groups.empty()) continue;
    out += "(";
    for (size_t g = 0; g < m.groups.size(); ++g) {
      if (g) out += ",";
      out += m.groups[g].matched ? show(m.groups[g].value) : "~";
    }
    out += ")";
  }
  return out;
}

// Flags as letters: g (Global), i (IgnoreCase), m (MultiLine).
inline void configure(Regex& rx, std::u16string_view pattern, std::string_view flags) {
  rx.set_pattern(pattern);
  rx.set_global(flags.find('g') != std::string_view::npos);
  rx.set_ignore_case(flags.find('i') != std::string_view::npos);
  rx.set_multiline(flags.find('m') != std::string_view::npos);
}

}  // namespace qz::test
