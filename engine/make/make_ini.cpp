#include "engine/make/make_ini.h"

namespace qz::make {

namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool starts_with_ignoring_case(std::u16string_view text, size_t at, std::u16string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (lower(text[at + i]) != lower(word[i])) return false;
  return true;
}

bool is_line_end(char16_t c) { return c == u'\r' || c == u'\n'; }
bool is_alnum(char16_t c) {
  char16_t l = lower(c);
  return (l >= u'a' && l <= u'z') || (l >= u'0' && l <= u'9');
}
bool is_alpha(char16_t c) { char16_t l = lower(c); return l >= u'a' && l <= u'z'; }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool is_hex(char16_t c) { char16_t l = lower(c); return is_digit(c) || (l >= u'a' && l <= u'f'); }

size_t skip_spaces(std::u16string_view text, size_t at) {
  while (at < text.size() && text[at] == u' ') ++at;
  return at;
}

// At `at`, just after a line's key: spaces, "=", spaces, then the value to the line's end.
// Gives the end of the match, or npos. A value of blanks alone is one blank, as the greedy
// "key *= *(.+)" form of these lines reads it.
size_t match_assignment(std::u16string_view text, size_t at, bool allow_empty, std::u16string& value) {
  at = skip_spaces(text, at);
  if (at >= text.size() || text[at] != u'=') return std::u16string_view::npos;
  size_t spaces_from = at + 1;
  size_t from = skip_spaces(text, spaces_from);
  size_t to = from;
  while (to < text.size() && !is_line_end(text[to])) ++to;
  if (to > from) {
    value.assign(text.substr(from, to - from));
  } else if (allow_empty) {
    value.clear();
  } else if (from > spaces_from) {
    value = u" ";
  } else {
    return std::u16string_view::npos;
  }
  return to;
}

// Calls `try_at(i)` for the position after each line feed, from left to right; `try_at` gives
// the end of its match (searching goes on from there) or npos.
template <typename F>
void for_each_line(std::u16string_view text, F try_at) {
  size_t pos = 0;
  while ((pos = text.find(u'\n', pos)) != std::u16string_view::npos) {
    size_t end = try_at(pos + 1);
    pos = end == std::u16string_view::npos ? pos + 1 : end;
  }
}

// A run of characters of one class at `at`: its end.
template <typename Pred>
size_t span(std::u16string_view text, size_t at, Pred pred) {
  while (at < text.size() && pred(text[at])) ++at;
  return at;
}

std::u16string trim(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t')) --e;
  return std::u16string(s.substr(b, e - b));
}

}  // namespace

std::u16string section_text(std::u16string_view ini, std::u16string_view name) {
  std::u16string header = u"[" + std::u16string(name) + u"]";
  for (size_t at = 0; at + header.size() <= ini.size(); ++at) {
    if (!starts_with_ignoring_case(ini, at, header)) continue;
    size_t from = at + header.size();
    size_t to = ini.find(u'[', from);
    if (to == std::u16string_view::npos) to = ini.size();
    if (to > from) return std::u16string(ini.substr(from, to - from));
  }
  return {};
}

std::optional<std::u16string> key_value(std::u16string_view section, std::u16string_view key, bool allow_empty) {
  std::optional<std::u16string> found;
  for_each_line(section, [&](size_t at) {
    if (found || !starts_with_ignoring_case(section, at, key)) return std::u16string_view::npos;
    std::u16string value;
    size_t end = match_assignment(section, at + key.size(), allow_empty, value);
    if (end != std::u16string_view::npos) found = std::move(value);
    return end;
  });
  return found;
}

bool key_starts_with(std::u16string_view section, std::u16string_view key, std::u16string_view word) {
  bool found = false;
  for_each_line(section, [&](size_t at) {
    if (found || !starts_with_ignoring_case(section, at, key)) return std::u16string_view::npos;
    size_t p = skip_spaces(section, at + key.size());
    if (p >= section.size() || section[p] != u'=') return std::u16string_view::npos;
    p = skip_spaces(section, p + 1);
    found = starts_with_ignoring_case(section, p, word);
    return found ? p + word.size() : std::u16string_view::npos;
  });
  return found;
}

std::vector<ResfileLine> resfile_lines(std::u16string_view section) {
  std::vector<ResfileLine> lines;
  for_each_line(section, [&](size_t at) {
    size_t p = span(section, at, is_alnum);
    if (p == at) return std::u16string_view::npos;
    ResfileLine line;
    line.name.assign(section.substr(at, p - at));
    while (starts_with_ignoring_case(section, p, u":base64")) {
      line.flag.assign(section.substr(p, 7));  // a repeated flag counts once, as its last copy
      p += 7;
    }
    size_t end = match_assignment(section, p, false, line.value);
    if (end != std::u16string_view::npos) lines.push_back(std::move(line));
    return end;
  });
  return lines;
}

std::vector<ResourceEdit> resource_edits(std::u16string_view section) {
  std::vector<ResourceEdit> edits;
  for_each_line(section, [&](size_t at) {
    constexpr auto npos = std::u16string_view::npos;
    ResourceEdit edit;
    // kind.action.lang.section.table. : five fields, each a run of its class and a dot
    struct Field { std::u16string* out; bool (*cls)(char16_t); bool may_be_empty; };
    const Field fields[] = {{&edit.kind, is_alnum, false}, {&edit.action, is_alnum, true},
                            {&edit.lang, is_digit, true},  {&edit.section, is_alpha, true},
                            {&edit.table, is_hex, true}};
    size_t p = at;
    for (const Field& f : fields) {
      size_t e = span(section, p, f.cls);
      if ((e == p && !f.may_be_empty) || e >= section.size() || section[e] != u'.') return npos;
      f.out->assign(section.substr(p, e - p));
      p = e + 1;
    }
    // The key runs to the "=" and must not leave its line.
    size_t eq = p;
    while (eq < section.size() && section[eq] != u'=' && !is_line_end(section[eq])) ++eq;
    if (eq == p || eq >= section.size() || section[eq] != u'=') return npos;
    edit.key = trim(section.substr(p, eq - p));
    size_t end = match_assignment(section, eq, false, edit.value);
    if (end != npos) edits.push_back(std::move(edit));
    return end;
  });
  return edits;
}

}  // namespace qz::make
