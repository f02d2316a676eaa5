// Numeric text as the conversion functions read it, kept exact enough for every target type:
// decimal text converts to Currency and the integer types without a detour through Double, and
// hexadecimal or octal text takes the narrowest signed width that holds it, so "&HFFFF" is -1
// and "&HFFFFFFFF" is -1 while "&H10000" is 65536.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

struct ParsedNumber {
  bool radix = false;      // &H / &O text: `bits` holds the value
  uint64_t bits = 0;
  bool negative = false;   // decimal text: (-1)^negative * digits * 10^exponent
  std::string digits;      // no leading zeros; empty for zero
  int32_t exponent = 0;

  // The value as a Double; +-infinity when it is beyond Double's range.
  double to_double() const;
  // Rounds half to even into an integer of `bits_wide` bits (8: unsigned, which also takes
  // "&HFF" as 255; 16, 32, 64: signed); false on overflow.
  bool to_integer(int bits_wide, int64_t& out) const;
  // The value times 10,000 rounded half to even; false on overflow.
  bool to_currency(int64_t& out) const;
};

// False when the text is not a number.
bool parse_number_text(std::u16string_view text, ParsedNumber& out);

}  // namespace qz
