// The script language's conversion rules, used by the interpreter and every library member.
// Overflow raises error 6, an impossible conversion error 13 ("Type mismatch"); Null where a
// value is required raises 94 ("Invalid use of Null").
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "com/variant.h"

namespace qz {

// The value of v: by-reference cells followed and an object replaced by its default member's
// value, repeatedly (Nothing raises 91, an object without a default member 438). Anything else
// is returned unchanged.
Variant value_of(const Variant& v);

bool to_bool(const Variant& v);
uint8_t to_byte(const Variant& v);
int16_t to_integer(const Variant& v);
int32_t to_long(const Variant& v);
int64_t to_longlong(const Variant& v);
float to_single(const Variant& v);
double to_double(const Variant& v);
int64_t to_currency(const Variant& v);   // scaled by 10,000
double to_date(const Variant& v);        // days since 1899-12-30, fraction is the time
Str to_str(const Variant& v);            // CStr; Null raises 94, Empty is ""
std::u16string to_u16(const Variant& v); // to_str as std::u16string
Object* to_object(const Variant& v);     // 424 "Object required" unless an object (Nothing is null)

// A whole number's decimal text, written into `buf`; the view lies inside it.
std::u16string_view whole_number_text(int64_t n, char16_t (&buf)[24]);

// The text & joins of a value, without making a string for a whole number: a string's own
// buffer, a Byte/Integer/Long/LongLong's digits written into the piece, "" for Empty and Null,
// anything else its CStr text.
class TextPiece {
 public:
  explicit TextPiece(const Variant& v);
  TextPiece(const TextPiece&) = delete;   // the bytes may lie inside the piece
  TextPiece& operator=(const TextPiece&) = delete;
  const void* bytes() const { return bytes_; }
  size_t byte_size() const { return nbytes_; }
  // The piece as a string (made for digits; shared for a string).
  Str str() const;

 private:
  Str str_;
  bool digits_used_ = false;
  char16_t digits_[24];
  const void* bytes_ = nullptr;
  size_t nbytes_ = 0;
};

// Converts v to the given subtype with the rules above (CInt, CLng, CDate ...).
Variant coerce(const Variant& v, VT to);

// Text to number as the language reads it: blanks around, a sign before or after, parentheses
// for a negative amount, a leading "$", digits with "," thousands separators, an optional
// fraction and exponent (E or D), or &H / &O text (which takes the narrowest signed width that
// holds it: "&HFFFF" is -1). False when it is not a number; true with +-infinity beyond Double.
// com/number_parse.h keeps the exact digits for the integer and Currency conversions.
bool parse_number(std::u16string_view text, double& out);
// Text to a date serial as CDate/IsDate read it (English, United States order m/d/y; d/m/y
// when the first number cannot be a month; y-m-d when it has three or more digits; month
// names; h:mm[:ss] [AM|PM] or h AM|PM; no year means this year).
bool parse_date(std::u16string_view text, double& out);

// Number and date texts as CStr gives them (English, United States).
std::u16string format_double(double v);          // 15 significant digits, 1E+16, 1.5E-05
std::u16string format_single(float v);           // 7 significant digits
std::u16string format_currency_value(int64_t scaled);
std::u16string format_date(double serial);       // 1/15/2024, 3:04:05 PM, both, or 12:00:00 AM

// Date serials (days since 1899-12-30; negative days count back with a positive time part).
double date_from_parts(int year, int month, int day);                  // DateSerial rules (month/day overflow roll)
double time_from_parts(int hour, int minute, int second);
void date_to_parts(double serial, int& year, int& month, int& day, int& hour, int& minute, int& second, int& weekday);
// The same as one value (weekday 1 is Sunday).
struct DateParts {
  int year, month, day, hour, minute, second, weekday;
};
DateParts date_parts(double serial);

// The range of dates: 100-01-01 to 9999-12-31 (any time of day).
constexpr double kMinDateSerial = -657434.0;
constexpr double kMaxDateSerial = 2958465.0;
bool valid_date(double serial);

// Rounds half to even (CInt, CLng and friends round 2.5 to 2 and 3.5 to 4).
double round_half_even(double v);

}  // namespace qz
