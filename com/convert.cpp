// The conversion functions (CBool, CByte, CInt, CLng, CSng, CDbl, CCur, CDate, CStr) and the
// implicit conversions the interpreter applies with the same rules.
#include "com/convert.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "com/error.h"
#include "com/number_parse.h"
#include "com/object.h"

namespace qz {

namespace {

// Deep enough for any sane chain of default members, short enough to stop a member that
// returns its own object.
constexpr int kMaxDefaultDepth = 32;

// The value to convert: `v` itself in the common case, else the default member's value kept
// in `holder`.
const Variant& scalar(const Variant& v, Variant& holder) {
  const Variant& d = v.deref();
  if (!d.is_object()) return d;
  holder = value_of(d);
  return holder;
}

bool is_blank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

std::u16string_view trim_blanks(std::u16string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

ParsedNumber parse_or_mismatch(const Variant& v) {
  ParsedNumber p;
  if (!parse_number_text(v.str_view(), p)) raise(kErrTypeMismatch);
  return p;
}

// Raises the error for a subtype that has no numeric value: Null 94, the rest 13.
[[noreturn]] void not_a_number(const Variant& v) {
  if (v.is_null()) raise(kErrInvalidNull);
  raise(kErrTypeMismatch);
}

// A Double rounded half to even into [lo, hi]; Overflow outside (and for NaN).
int64_t round_into(double d, double lo, double hi) {
  double r = round_half_even(d);
  if (!(r >= lo && r <= hi)) raise(kErrOverflow);
  return static_cast<int64_t>(r);
}

int64_t currency_to_integer(int64_t scaled) {
  int64_t q = scaled / 10000;
  int64_t rem = scaled % 10000;
  if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
  else if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
  return q;
}

// The integer conversions share one path; `bits` is 8 (Byte), 16, 32 or 64.
int64_t to_integer_bits(const Variant& value, int bits) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  int64_t r = 0;
  switch (v.type()) {
    case VT::Empty: return 0;
    case VT::Boolean:
      // Byte takes True's bit pattern rather than overflowing.
      return v.as_bool() ? (bits == 8 ? 255 : -1) : 0;
    case VT::Byte: return v.as_byte();
    case VT::Integer: r = v.as_integer(); break;
    case VT::Long: r = v.as_long(); break;
    case VT::LongLong: r = v.as_longlong(); break;
    case VT::Currency: r = currency_to_integer(v.as_currency()); break;
    case VT::Single:
    case VT::Double:
    case VT::Date: {
      double d = v.is(VT::Single) ? static_cast<double>(v.as_single()) : v.as_double();
      return bits == 8    ? round_into(d, 0, 255)
             : bits == 16 ? round_into(d, INT16_MIN, INT16_MAX)
             : bits == 32 ? round_into(d, INT32_MIN, INT32_MAX)
                          : round_into(d, -9223372036854775808.0, 9223372036854774784.0);
    }
    case VT::String: {
      ParsedNumber p = parse_or_mismatch(v);
      if (!p.to_integer(bits, r)) raise(kErrOverflow);
      return r;
    }
    default: not_a_number(v);
  }
  bool fits = bits == 8    ? (r >= 0 && r <= 255)
              : bits == 16 ? (r >= INT16_MIN && r <= INT16_MAX)
              : bits == 32 ? (r >= INT32_MIN && r <= INT32_MAX)
                           : true;
  if (!fits) raise(kErrOverflow);
  return r;
}

// Double of a subtype that has one; Null 94, others 13.
double number_value(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: return 0.0;
    case VT::Boolean: return v.as_bool() ? -1.0 : 0.0;
    case VT::Byte: return v.as_byte();
    case VT::Integer: return v.as_integer();
    case VT::Long: return v.as_long();
    case VT::LongLong: return static_cast<double>(v.as_longlong());
    case VT::Single: return v.as_single();
    case VT::Double:
    case VT::Date: return v.as_double();
    case VT::Currency: return static_cast<double>(v.as_currency()) / 10000.0;
    case VT::String: {
      double d = parse_or_mismatch(v).to_double();
      if (std::isinf(d)) raise(kErrOverflow);
      return d;
    }
    default: not_a_number(v);
  }
}

}  // namespace

double round_half_even(double v) {
  double r = std::floor(v);
  double diff = v - r;
  if (diff > 0.5) return r + 1.0;
  if (diff < 0.5) return r;
  return std::fmod(r, 2.0) == 0.0 ? r : r + 1.0;
}

Variant value_of(const Variant& v) {
  const Variant& d = v.deref();
  if (!d.is_object()) return d;
  Variant cur = d;
  for (int depth = 0; cur.is_object(); ++depth) {
    Object* obj = cur.as_object();
    if (!obj) raise(kErrNotObjectVar);
    if (depth == kMaxDefaultDepth) raise(kErrTypeMismatch);
    Variant next = obj->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), Args());
    cur = Variant(next.deref());
  }
  return cur;
}

bool to_bool(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  switch (v.type()) {
    case VT::Empty: return false;
    case VT::Boolean: return v.as_bool();
    case VT::Byte: return v.as_byte() != 0;
    case VT::Integer: return v.as_integer() != 0;
    case VT::Long: return v.as_long() != 0;
    case VT::LongLong: return v.as_longlong() != 0;
    case VT::Single: return v.as_single() != 0;
    case VT::Double:
    case VT::Date: return v.as_double() != 0;
    case VT::Currency: return v.as_currency() != 0;
    case VT::String: {
      std::u16string_view s = trim_blanks(v.str_view());
      if (iequals(s, u"True") || iequals(s, u"#TRUE#")) return true;
      if (iequals(s, u"False") || iequals(s, u"#FALSE#")) return false;
      double d = 0;
      if (!parse_number(s, d)) raise(kErrTypeMismatch);
      return d != 0;
    }
    default: not_a_number(v);
  }
}

uint8_t to_byte(const Variant& v) { return static_cast<uint8_t>(to_integer_bits(v, 8)); }
int16_t to_integer(const Variant& v) { return static_cast<int16_t>(to_integer_bits(v, 16)); }
int32_t to_long(const Variant& v) { return static_cast<int32_t>(to_integer_bits(v, 32)); }
int64_t to_longlong(const Variant& v) { return to_integer_bits(v, 64); }

double to_double(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  if (v.is(VT::Double)) return v.as_double();
  return number_value(v);
}

float to_single(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  if (v.is(VT::Single)) return v.as_single();
  double d = number_value(v);
  if (std::isnan(d)) return static_cast<float>(d);
  if (std::fabs(d) > static_cast<double>(FLT_MAX)) {
    // Values that round down to the largest Single still fit.
    float f = static_cast<float>(d);
    if (std::isinf(f)) raise(kErrOverflow);
    return f;
  }
  return static_cast<float>(d);
}

int64_t to_currency(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  switch (v.type()) {
    case VT::Currency: return v.as_currency();
    case VT::Empty: return 0;
    case VT::Boolean: return v.as_bool() ? -10000 : 0;
    case VT::Byte: return static_cast<int64_t>(v.as_byte()) * 10000;
    case VT::Integer: return static_cast<int64_t>(v.as_integer()) * 10000;
    case VT::Long: return static_cast<int64_t>(v.as_long()) * 10000;
    case VT::LongLong: {
      int64_t r = 0;
      if (__builtin_mul_overflow(v.as_longlong(), int64_t{10000}, &r)) raise(kErrOverflow);
      return r;
    }
    case VT::String: {
      int64_t r = 0;
      if (!parse_or_mismatch(v).to_currency(r)) raise(kErrOverflow);
      return r;
    }
    case VT::Single:
    case VT::Double:
    case VT::Date: {
      double d = v.is(VT::Single) ? static_cast<double>(v.as_single()) : v.as_double();
      return round_into(d * 10000.0, -9223372036854775808.0, 9223372036854774784.0);
    }
    default: not_a_number(v);
  }
}

double to_date(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  if (v.is(VT::Date)) return v.as_date();
  double d = 0;
  if (v.is_string()) {
    // Date text, or else a number of days ("1" is the day after day 0).
    if (parse_date(v.str_view(), d)) return d;
    if (!parse_number(v.str_view(), d)) raise(kErrTypeMismatch);
    if (!valid_date(d)) raise(kErrOverflow);
    return d;
  }
  d = number_value(v);
  if (!valid_date(d)) raise(kErrOverflow);
  return d;
}

std::u16string_view whole_number_text(int64_t n, char16_t (&buf)[24]) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char16_t* end = buf + 24;
  char16_t* p = end;
  uint64_t u = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  while (u >= 100) {
    size_t pair = static_cast<size_t>(u % 100) * 2;
    u /= 100;
    *--p = static_cast<char16_t>(kPairs[pair + 1]);
    *--p = static_cast<char16_t>(kPairs[pair]);
  }
  if (u >= 10) {
    *--p = static_cast<char16_t>(kPairs[u * 2 + 1]);
    *--p = static_cast<char16_t>(kPairs[u * 2]);
  } else {
    *--p = static_cast<char16_t>(u'0' + u);
  }
  if (n < 0) *--p = u'-';
  return std::u16string_view(p, static_cast<size_t>(end - p));
}

namespace {
// A whole number's decimal text, made straight into the string, two digits per division.
Str decimal_text(int64_t n) {
  char16_t buf[24];
  return Str(whole_number_text(n, buf));
}
}  // namespace

TextPiece::TextPiece(const Variant& v) {
  std::u16string_view digits;
  switch (v.type()) {
    case VT::String: str_ = v.as_str(); break;
    case VT::Empty: case VT::Null: break;
    case VT::Byte: digits = whole_number_text(v.as_byte(), digits_); break;
    case VT::Integer: digits = whole_number_text(v.as_integer(), digits_); break;
    case VT::Long: digits = whole_number_text(v.as_long(), digits_); break;
    case VT::LongLong: digits = whole_number_text(v.as_longlong(), digits_); break;
    default: str_ = to_str(v); break;
  }
  if (!digits.empty()) {
    digits_used_ = true;
    bytes_ = digits.data();
    nbytes_ = digits.size() * 2;
  } else {
    bytes_ = str_.bytes();
    nbytes_ = str_.byte_size();
  }
}

Str TextPiece::str() const {
  return digits_used_ ? Str::from_bytes(bytes_, nbytes_) : str_;
}

Str to_str(const Variant& value) {
  Variant holder;
  const Variant& v = scalar(value, holder);
  switch (v.type()) {
    case VT::String: return v.as_str();
    case VT::Empty: return Str();
    case VT::Boolean: return Str(v.as_bool() ? u"True" : u"False");
    case VT::Byte: return decimal_text(v.as_byte());
    case VT::Integer: return decimal_text(v.as_integer());
    case VT::Long: return decimal_text(v.as_long());
    case VT::LongLong: return decimal_text(v.as_longlong());
    case VT::Single: return Str(format_single(v.as_single()));
    case VT::Double: return Str(format_double(v.as_double()));
    case VT::Currency: return Str(format_currency_value(v.as_currency()));
    case VT::Date: return Str(format_date(v.as_date()));
    default: not_a_number(v);
  }
}

std::u16string to_u16(const Variant& v) {
  const Variant& d = v.deref();
  if (d.is_string()) return std::u16string(d.str_view());
  return to_str(v).u16();
}

Object* to_object(const Variant& v) {
  const Variant& d = v.deref();
  if (!d.is_object()) raise(kErrObjectRequired);
  return d.as_object();
}

Variant coerce(const Variant& value, VT to) {
  if (to == VT::Object) return Variant(to_object(value));
  Variant holder;
  const Variant& v = scalar(value, holder);
  if (v.type() == to) return v;
  switch (to) {
    case VT::Empty: return Variant();
    case VT::Null: return Variant::null();
    case VT::Variant: return v;
    case VT::Boolean: return Variant(to_bool(v));
    case VT::Byte: return Variant(to_byte(v));
    case VT::Integer: return Variant(to_integer(v));
    case VT::Long: return Variant(to_long(v));
    case VT::LongLong: return Variant(to_longlong(v));
    case VT::Single: return Variant(to_single(v));
    case VT::Double: return Variant(to_double(v));
    case VT::Currency: return Variant::currency(to_currency(v));
    case VT::Date: return Variant::date(to_date(v));
    case VT::String: return Variant(to_str(v));
    default: not_a_number(v);
  }
}

}  // namespace qz
