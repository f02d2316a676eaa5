#include "runtime/helpers/str_conv.h"

#include <string>

#include "com/error.h"
#include "platform/codepage.h"

namespace qz {

namespace {

bool word_break(char16_t c) {
  return c == u' ' || c == 0 || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

std::u16string proper_case(std::u16string_view s) {
  std::u16string out = lower(s);
  bool start = true;
  for (char16_t& c : out) {
    if (start && !word_break(c)) c = upper(std::u16string_view(&c, 1))[0];
    start = word_break(c);
  }
  return out;
}

// ASCII and the space to their full-width forms (U+FF01..U+FF5E, U+3000) and back.
char16_t wide(char16_t c) {
  if (c == u' ') return u'\u3000';
  if (c >= 0x21 && c <= 0x7E) return static_cast<char16_t>(c + 0xFEE0);
  return c;
}
char16_t narrow(char16_t c) {
  if (c == u'\u3000') return u' ';
  if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<char16_t>(c - 0xFEE0);
  return c;
}
// Hiragana U+3041..U+3096 and the iteration marks U+309D/U+309E have Katakana twins 0x60 above.
char16_t katakana(char16_t c) {
  if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) return static_cast<char16_t>(c + 0x60);
  return c;
}
char16_t hiragana(char16_t c) {
  if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) return static_cast<char16_t>(c - 0x60);
  return c;
}

template <class F>
std::u16string map_units(std::u16string_view s, F f) {
  std::u16string out(s);
  for (char16_t& c : out) c = f(c);
  return out;
}

}  // namespace

Str str_conv(const Str& text, int32_t conversion, int32_t lcid) {
  const int32_t known = 0xFF;
  const int32_t case_bits = conversion & 3;
  if ((conversion & ~known) != 0 || (conversion & (kConvWide | kConvNarrow)) == (kConvWide | kConvNarrow) ||
      (conversion & (kConvKatakana | kConvHiragana)) == (kConvKatakana | kConvHiragana) ||
      (conversion & (kConvUnicode | kConvFromUnicode)) == (kConvUnicode | kConvFromUnicode))
    raise(kErrIllegalCall);
  const int codepage = locale_code_page(lcid == -1 ? 0 : lcid);

  // A byte string becomes text first, so the other conversions see characters.
  Str current = text;
  if (conversion & kConvUnicode) current = Str(decode(codepage, std::string_view(reinterpret_cast<const char*>(text.bytes()), text.byte_size())));
  std::u16string s(current.view());
  const bool changes_text = case_bits || (conversion & (kConvWide | kConvNarrow | kConvKatakana | kConvHiragana));
  if (case_bits == kConvUpperCase) s = upper(s);
  if (case_bits == kConvLowerCase) s = lower(s);
  if (case_bits == kConvProperCase) s = proper_case(s);
  if (conversion & kConvWide) s = map_units(s, wide);
  if (conversion & kConvNarrow) s = map_units(s, narrow);
  if (conversion & kConvKatakana) s = map_units(s, katakana);
  if (conversion & kConvHiragana) s = map_units(s, hiragana);
  if (conversion & kConvFromUnicode) return encode_to_byte_string(codepage, s);
  // Nothing asked of the text: a byte string comes back as it was, odd last byte included.
  if (!changes_text && !(conversion & kConvUnicode)) return text;
  return Str(s);
}

}  // namespace qz
