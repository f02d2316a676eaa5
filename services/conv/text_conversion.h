// Conversions between script text and multibyte text held in byte strings (each byte of the
// encoded text is one byte of the string's memory), and the UTF-8 and Base64 wrappers built on
// them. A page number of -1 means the ANSI page; a page this system cannot convert gives "".
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "com/str.h"

namespace qz {

// Flags of the multibyte calls that mean something here.
constexpr int32_t kFailOnInvalidBytes = 0x8;     // decoding: invalid UTF-8 fails the call
constexpr int32_t kFailOnInvalidChars = 0x80;    // encoding: an unpaired surrogate fails the call

// The raw memory of `multibyte` up to its first zero byte, decoded in page `codepage`.
std::u16string multibyte_to_text(const Str& multibyte, int32_t codepage, int32_t flags);
// The text up to its first U+0000, encoded in page `codepage`, as a byte string of twice the
// encoded length: the encoded bytes, then as many zero bytes (so the first zero ends it when it
// is read back).
Str text_to_multibyte(std::u16string_view text, int32_t codepage, int32_t flags);

// The text encoded in page `codepage` with each byte shown as the ANSI page's character for it,
// and the reverse; nothing for an empty text.
std::optional<std::u16string> encode_as_ansi_bytes(std::u16string_view text, int32_t codepage);
std::optional<std::u16string> decode_from_ansi_bytes(std::u16string_view text, int32_t codepage);

// Base64 of the text's ANSI bytes, in 76-character lines; and the text whose ANSI bytes are
// the decoded Base64 bytes.
std::u16string base64_encode_text(std::u16string_view text);
std::u16string base64_decode_text(std::u16string_view text);

// Four bytes as a signed 32-bit number, the first the most significant; and back.
int32_t long_from_bytes(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4);
void bytes_from_long(int32_t value, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4);

}  // namespace qz
