#include "host/cgi/url_encoded.h"

#include "com/str.h"
#include "platform/codepage.h"

namespace qz::cgi {

std::u16string url_decode(std::u16string_view text, int codepage) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char16_t c = text[i];
    if (c == u'+') {
      out += u' ';
      ++i;
      continue;
    }
    if (c != u'%') {
      out += c;
      ++i;
      continue;
    }
    // The two characters after "%" read as a hexadecimal number: leading digits count.
    int value = 0;
    for (size_t k = i + 1; k < text.size() && k <= i + 2; ++k) {
      int d = hex_digit_value(text[k]);
      if (d < 0) break;
      value = value * 16 + d;
    }
    if (value == 0) {
      out += u'%';
      ++i;
      continue;
    }
    out += decode_byte(codepage, static_cast<unsigned char>(value));
    i += 3;  // "%" and the two characters after it, whatever they are
  }
  return out;
}

std::vector<std::u16string> split_form_pairs(std::u16string_view text, int codepage) {
  std::vector<std::u16string> pairs;
  size_t start = 0;
  for (size_t amp; (amp = text.find(u'&', start)) != std::u16string_view::npos; start = amp + 1)
    pairs.push_back(url_decode(text.substr(start, amp - start), codepage));
  if (start < text.size()) pairs.push_back(url_decode(text.substr(start), codepage));
  return pairs;
}

}  // namespace qz::cgi
