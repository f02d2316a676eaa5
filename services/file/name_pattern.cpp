#include "services/file/name_pattern.h"

#include <vector>

#include "com/str.h"

namespace qz {

namespace {

char16_t fold(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);  // Cyrillic а..я
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);  // ѐ..џ
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  return c;
}

// Iterative matcher with one backtrack point: linear in practice, never exponential.
bool match(std::u16string_view p, std::u16string_view s) {
  size_t pi = 0, si = 0, star = std::u16string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == u'?' || (p[pi] != u'*' && fold(p[pi]) == fold(s[si])))) {
      ++pi;
      ++si;
    } else if (pi < p.size() && p[pi] == u'*') {
      star = pi++;
      mark = si;
    } else if (star != std::u16string_view::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'*') ++pi;
  return pi == p.size();
}

}  // namespace

bool has_wildcards(std::string_view pattern) { return pattern.find_first_of("*?") != std::string_view::npos; }

bool name_matches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  std::u16string p = utf8_to_u16(pattern), s = utf8_to_u16(name);
  // "name.*" also finds "name" itself, as the original find functions do.
  if (p.size() >= 2 && p.compare(p.size() - 2, 2, u".*") == 0 && match(p.substr(0, p.size() - 2), s)) return true;
  return match(p, s);
}

}  // namespace qz
