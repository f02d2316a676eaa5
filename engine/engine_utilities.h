// Small helpers of the engine that other parts share: path pieces, number conversions, the
// system's version text, random names, the temporary folder.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

// The text after the last `separator` (binary comparison); all of it when there is none.
std::u16string file_name_part(std::u16string_view text, std::u16string_view separator);
// The text up to and including the last `separator`; empty when there is none.
std::u16string path_part(std::u16string_view text, std::u16string_view separator);

// A colour channel 0..65535 carried in a 16-bit signed field: 32768..65535 become negative.
// Anything outside -32768..65535 raises error 6 (Overflow).
int16_t to_int16(int32_t value);
// The four bytes of a 32-bit value read as an unsigned number (Currency scaled by 10,000).
int64_t ulong_to_currency(int32_t value);

// "major.minor.patch [version text]" of the running kernel; empty when it cannot be read.
std::u16string system_version_text();
// The temporary folder, ending with "/".
std::u16string temp_path();
// Eight random characters from the 36-character name alphabet.
std::u16string random_name();
// True when a VBScript.RegExp object can be created.
bool has_regexp();

}  // namespace qz
