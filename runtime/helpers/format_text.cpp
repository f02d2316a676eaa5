// One text section of a user-defined format: "@" (a character or a space), "&" (a character
// or nothing), "<" (all lower case), ">" (all upper case), "!" (fill the placeholders from the
// left; the default is from the right) and literal characters.
#include <string>

#include "com/str.h"
#include "runtime/helpers/format_parts.h"

namespace qz::fmt {

std::u16string format_text_section(std::u16string_view text_in, std::u16string_view section) {
  std::vector<FormatItem> items = scan_items(section);
  bool to_lower = false, to_upper = false, left_to_right = false;
  size_t placeholders = 0;
  for (const FormatItem& it : items) {
    if (it.literal) continue;
    if (it.ch == u'<') to_lower = true, to_upper = false;
    if (it.ch == u'>') to_upper = true, to_lower = false;
    if (it.ch == u'!') left_to_right = true;
    if (it.ch == u'@' || it.ch == u'&') ++placeholders;
  }
  std::u16string text(text_in);
  if (to_lower) text = lower(text);
  if (to_upper) text = upper(text);

  std::u16string out;
  auto literal = [&](const FormatItem& it) {
    if (it.literal) out += it.text;
    else if (it.ch != u'<' && it.ch != u'>' && it.ch != u'!') out.push_back(it.ch);
  };
  if (placeholders == 0) {
    for (const FormatItem& it : items) literal(it);
    return out + text;
  }

  // Which characters each placeholder gets: from the right by default, extra characters at the
  // first placeholder; from the left with "!", extra characters at the last one.
  const size_t n = text.size();
  size_t index = 0;  // placeholders met so far
  size_t next = 0;   // next character of text
  const size_t missing = n < placeholders ? placeholders - n : 0;
  for (const FormatItem& it : items) {
    bool ph = !it.literal && (it.ch == u'@' || it.ch == u'&');
    if (!ph) {
      literal(it);
      continue;
    }
    size_t take;
    if (left_to_right) {
      take = index + 1 == placeholders ? n - next : (next < n ? 1 : 0);
    } else if (index == 0) {
      take = n > placeholders ? n - placeholders + 1 : (missing == 0 ? 1 : 0);
    } else {
      take = index < missing ? 0 : 1;
    }
    if (take == 0 && it.ch == u'@') out.push_back(u' ');
    out += text.substr(next, take);
    next += take;
    ++index;
  }
  return out;
}

}  // namespace qz::fmt
