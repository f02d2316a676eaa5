// Russian text to Latin transliteration and back, and retyping text typed on the wrong keyboard
// layout. Each conversion is a fixed sequence of whole-text, case-sensitive replacements, each
// working on the result of the one before (so two-letter forms go before single letters).
#pragma once
#include <string>
#include <string_view>

namespace qz {

std::u16string russian_to_latin(std::u16string_view text);
// Only all-upper or all-lower two-letter forms count ("Zh" is two letters); the apostrophe
// gives the lower-case soft sign and nothing gives the upper-case hard sign.
std::u16string latin_to_russian(std::u16string_view text);

// What the same keys give on the Russian layout, and the reverse.
std::u16string latin_keys_to_russian(std::u16string_view text);
std::u16string russian_keys_to_latin(std::u16string_view text);

}  // namespace qz
