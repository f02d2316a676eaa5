// Query strings and url-encoded bodies come straight from web clients. Splitting and decoding
// must take any bytes, never grow the text, and keep one pair per "&"-separated piece.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/cgi/name_value_lookup.h"
#include "host/cgi/url_encoded.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int cp : {1251, 1252}) {
    std::u16string text = qz::decode(cp, bytes);
    std::u16string decoded = qz::cgi::url_decode(text, cp);
    if (decoded.size() > text.size()) std::abort();
    std::vector<std::u16string> pairs = qz::cgi::split_form_pairs(text, cp);
    size_t pieces = 1;
    for (char16_t c : text) pieces += c == u'&';
    if (pairs.size() > pieces) std::abort();
    if (!text.empty() && text.back() != u'&' && pairs.size() != pieces) std::abort();
    size_t eq = text.find(u'=');
    if (eq != std::u16string::npos) (void)qz::cgi::lookup_value(pairs, text.substr(0, eq));
  }
  return 0;
}
