#include "services/conv/text_conversion.h"

#include "formats/base64.h"
#include "platform/codepage.h"

namespace qz {

namespace {

// -1 is the ANSI page; a page without a converter gives nothing.
std::optional<int> usable_page(int32_t codepage) {
  if (codepage == -1) return ansi_code_page();
  if (!code_page_supported(codepage)) return std::nullopt;
  return resolve_code_page(codepage);
}

bool has_unpaired_surrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    else if (c >= 0xD800 && c <= 0xDFFF) return true;
  }
  return false;
}

}  // namespace

std::u16string multibyte_to_text(const Str& multibyte, int32_t codepage, int32_t flags) {
  std::optional<int> page = usable_page(codepage);
  if (!page) return {};
  std::string_view bytes(reinterpret_cast<const char*>(multibyte.bytes()), multibyte.byte_size());
  bytes = bytes.substr(0, bytes.find('\0'));
  if (*page == 65001) {
    if (flags & ~kFailOnInvalidBytes) return {};  // UTF-8 takes no other flag
    if ((flags & kFailOnInvalidBytes) && !is_valid_utf8(bytes)) return {};
  }
  return decode(*page, bytes);
}

Str text_to_multibyte(std::u16string_view text, int32_t codepage, int32_t flags) {
  std::optional<int> page = usable_page(codepage);
  if (!page) return {};
  text = text.substr(0, text.find(u'\0'));
  if (*page == 65001) {
    if (flags & ~kFailOnInvalidChars) return {};
    if ((flags & kFailOnInvalidChars) && has_unpaired_surrogate(text)) return {};
  }
  std::string bytes = encode(*page, text);
  bytes.resize(bytes.size() * 2, '\0');
  return Str::from_bytes(bytes.data(), bytes.size());
}

std::optional<std::u16string> encode_as_ansi_bytes(std::u16string_view text, int32_t codepage) {
  if (text.empty()) return std::nullopt;
  return multibyte_to_text(text_to_multibyte(text, codepage, 0), -1, 0);
}

std::optional<std::u16string> decode_from_ansi_bytes(std::u16string_view text, int32_t codepage) {
  if (text.empty()) return std::nullopt;
  return multibyte_to_text(text_to_multibyte(text, 0, 0), codepage, 0);
}

std::u16string base64_encode_text(std::u16string_view text) {
  return decode(1251, base64_encode_lines(encode(ansi_code_page(), text)));
}

// The decoded bytes are read back through the ANSI page, the page they were encoded from, so
// that any bytes survive the trip to text and back to a file.
std::u16string base64_decode_text(std::u16string_view text) {
  const int page = ansi_code_page();
  return decode(page, base64_decode(encode(page, text)));
}

int32_t long_from_bytes(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) {
  return static_cast<int32_t>(uint32_t{b1} << 24 | uint32_t{b2} << 16 | uint32_t{b3} << 8 | uint32_t{b4});
}

void bytes_from_long(int32_t value, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4) {
  uint32_t u = static_cast<uint32_t>(value);
  b1 = static_cast<uint8_t>(u >> 24);
  b2 = static_cast<uint8_t>(u >> 16);
  b3 = static_cast<uint8_t>(u >> 8);
  b4 = static_cast<uint8_t>(u);
}

}  // namespace qz
