// The pieces of the platform's Format function, shared by its files: sections of a format
// expression, decimal digits of a number, and the three kinds of section (number, date, text).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz::fmt {

// A format expression character by character: quoted text and backslash escapes are literals,
// everything else is a character the section's kind gives a meaning (or shows as it is).
struct FormatItem {
  bool literal;
  char16_t ch;          // when not literal
  std::u16string text;  // when literal
};
std::vector<FormatItem> scan_items(std::u16string_view section);

// The sections between ";" outside quotes and escapes (at least one, maybe empty).
std::vector<std::u16string_view> split_sections(std::u16string_view format);

enum class SectionKind { Number, Date, Text };
// Digit placeholders make a number section, date and time letters a date section, "@", "&",
// "<", ">", "!" a text section; anything else formats as a number.
SectionKind section_kind(std::u16string_view section);

// A non-negative decimal number: 0.DIGITS x 10^point (point digits stand before the point).
struct Decimal {
  std::string digits;  // no leading zeros unless the number is 0 ("" for 0)
  int point = 0;
  bool negative = false;

  static Decimal of_double(double v, int significant);
  static Decimal of_integer(int64_t v);
  static Decimal of_currency(int64_t scaled);
  bool is_zero() const;
  // Rounds half away from zero to `places` decimals (places may be negative).
  void round_to(int places);
  // The digits before the point ("" when there are none) and `n` digits after it.
  std::string integer_digits() const;
  std::string fraction_digits(int n) const;
};

// One number section applied to the magnitude of `value`; `sign` puts a "-" in front.
std::u16string format_number_section(Decimal value, bool sign, std::u16string_view section);
// One date section applied to a date serial.
std::u16string format_date_section(double serial, std::u16string_view section, int first_day_of_week,
                                   int first_week_of_year);
// One text section applied to a text.
std::u16string format_text_section(std::u16string_view text, std::u16string_view section);

}  // namespace qz::fmt
