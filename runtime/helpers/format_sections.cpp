// Splitting a format expression into sections and items, and telling the kind of a section.
#include "runtime/helpers/format_parts.h"

namespace qz::fmt {

std::vector<FormatItem> scan_items(std::u16string_view s) {
  std::vector<FormatItem> items;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c == u'"') {
      size_t end = s.find(u'"', i + 1);
      if (end == std::u16string_view::npos) end = s.size();
      items.push_back({true, 0, std::u16string(s.substr(i + 1, end - i - 1))});
      i = end;
    } else if (c == u'\\') {
      if (i + 1 < s.size()) items.push_back({true, 0, std::u16string(1, s[++i])});
    } else {
      items.push_back({false, c, {}});
    }
  }
  return items;
}

std::vector<std::u16string_view> split_sections(std::u16string_view format) {
  std::vector<std::u16string_view> out;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char16_t c = format[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && c == u'\\') {
      ++i;
    } else if (!quoted && c == u';') {
      out.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(format.substr(start));
  return out;
}

SectionKind section_kind(std::u16string_view section) {
  bool date = false, text = false;
  std::vector<FormatItem> items = scan_items(section);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].literal) continue;
    switch (items[i].ch) {
      case u'0': case u'#': case u'%':
        return SectionKind::Number;
      case u'E': case u'e':
        if (i + 1 < items.size() && !items[i + 1].literal && (items[i + 1].ch == u'+' || items[i + 1].ch == u'-'))
          return SectionKind::Number;
        break;
      case u'd': case u'D': case u'm': case u'M': case u'y': case u'Y': case u'h': case u'H':
      case u'n': case u'N': case u's': case u'S': case u'w': case u'W': case u'q': case u'Q':
      case u'c': case u'C': case u't': case u'T':
        date = true;
        break;
      case u'@': case u'&': case u'<': case u'>': case u'!':
        text = true;
        break;
      default:
        break;
    }
  }
  if (date) return SectionKind::Date;
  if (text) return SectionKind::Text;
  return SectionKind::Number;
}

}  // namespace qz::fmt
