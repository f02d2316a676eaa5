#include "engine/translator/text_util.h"

#include "com/str.h"

namespace qz::tr {

void configure(Regex& rx, std::u16string_view pattern, bool global) {
  rx.set_ignore_case(true);
  rx.set_multiline(false);
  rx.set_global(global);
  rx.set_pattern(pattern);
}

std::optional<std::vector<RegexMatch>> find_tags(std::u16string_view text, std::u16string_view word, bool named) {
  auto lower_ascii = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  auto name_char = [&](char16_t c) {
    c = lower_ascii(c);
    return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
  };
  std::vector<RegexMatch> out;
  const size_t n = text.size();
  for (size_t p = text.find(u"\n<#"); p != std::u16string_view::npos; p = text.find(u"\n<#", p + 1)) {
    size_t j = p + 3;
    bool same = true;
    for (char16_t w : word) {
      if (j < n && text[j] >= 0x80) return std::nullopt;
      if (j >= n || lower_ascii(text[j]) != w) { same = false; break; }
      ++j;
    }
    if (!same) continue;
    if (named)
      while (j < n && text[j] == u'=') ++j;
    const size_t name_from = j;
    while (j < n && (name_char(text[j]) || (!named && text[j] == u'='))) ++j;
    if (j < n && text[j] >= 0x80) return std::nullopt;
    if (j >= n || text[j] != u'>') continue;
    RegexMatch m;
    m.index = p;
    m.length = j + 1 - p;
    m.value = std::u16string(text.substr(p, m.length));
    if (named) m.groups.push_back({true, name_from, std::u16string(text.substr(name_from, j - name_from))});
    out.push_back(std::move(m));
    p = j;
  }
  return out;
}

std::u16string remove_matches(std::u16string_view text, const std::vector<RegexMatch>& matches) {
  std::u16string out;
  out.reserve(text.size());
  size_t done = 0;
  for (const RegexMatch& m : matches) {
    out.append(text.substr(done, m.index - done));
    done = m.index + m.length;
  }
  out.append(text.substr(done));
  return out;
}

std::u16string num(long long n) { return ascii(std::to_string(n)); }

std::u16string ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

size_t ifind(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::u16string_view::npos;
  if (text.size() < needle.size()) return std::u16string_view::npos;
  const char16_t first = fold_case(needle[0]);
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (fold_case(text[i]) != first) continue;
    size_t k = 1;
    while (k < needle.size() && fold_case(text[i + k]) == fold_case(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::u16string_view::npos;
}

bool icontains(std::u16string_view text, std::u16string_view needle) {
  return ifind(text, needle) != std::u16string_view::npos;
}

bool iends_with(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && iequals(text.substr(text.size() - suffix.size()), suffix);
}

bool may_hold(std::u16string_view text, std::u16string_view literal) {
  if (literal.empty()) return true;
  auto lower_ascii = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  auto fits = [&](char16_t t, char16_t l) {
    if (t == l) return true;
    const char16_t ll = lower_ascii(l);
    if (ll < u'a' || ll > u'z') return false;  // no other character matches a non-letter
    return lower_ascii(t) == ll || t >= 0x80;
  };
  for (size_t i = 0; i + literal.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < literal.size() && fits(text[i + k], literal[k])) ++k;
    if (k == literal.size()) return true;
  }
  return false;
}

std::u16string ireplace_all(std::u16string_view text, std::u16string_view needle, std::u16string_view replacement) {
  if (needle.empty()) return std::u16string(text);
  std::u16string out;
  size_t done = 0;
  for (size_t at = ifind(text, needle); at != std::u16string_view::npos; at = ifind(text, needle, done)) {
    out.append(text.substr(done, at - done));
    out.append(replacement);
    done = at + needle.size();
  }
  out.append(text.substr(done));
  return out;
}

std::u16string replace_all(std::u16string_view text, std::u16string_view needle, std::u16string_view replacement) {
  if (needle.empty()) return std::u16string(text);
  std::u16string out;
  size_t done = 0;
  for (size_t at = text.find(needle); at != std::u16string_view::npos; at = text.find(needle, done)) {
    out.append(text.substr(done, at - done));
    out.append(replacement);
    done = at + needle.size();
  }
  out.append(text.substr(done));
  return out;
}

std::vector<std::u16string_view> split_crlf(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  for (size_t at = text.find(kCrLf); at != std::u16string_view::npos; at = text.find(kCrLf, start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::u16string normalize_line_feeds(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out.push_back(u'\r');
    out.push_back(text[i]);
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) out.push_back(u'\n');
  }
  return out;
}

std::u16string quote_literal(std::u16string_view text) { return replace_all(text, u"\"", u"\"\""); }

}  // namespace qz::tr
