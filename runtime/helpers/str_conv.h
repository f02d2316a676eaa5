// StrConv: case, full-width and half-width forms, Katakana and Hiragana, and the conversion
// between text and byte strings through a locale's code page. Codes may be combined
// (vbUpperCase + vbWide); contradicting pairs raise error 5.
#pragma once
#include <cstdint>

#include "com/str.h"

namespace qz {

enum StrConvCode : int32_t {
  kConvUpperCase = 1, kConvLowerCase = 2, kConvProperCase = 3, kConvWide = 4, kConvNarrow = 8,
  kConvKatakana = 16, kConvHiragana = 32, kConvUnicode = 64, kConvFromUnicode = 128,
};

// `lcid` -1 (or 0) is the system's default locale.
Str str_conv(const Str& text, int32_t conversion, int32_t lcid);

}  // namespace qz
