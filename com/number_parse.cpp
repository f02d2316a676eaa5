// Reading numbers from text: blanks around, a sign before or after, parentheses for negative
// amounts, a currency sign, thousands separators, a fraction, an exponent (E or D), and the &H /
// &O forms.
#include "com/number_parse.h"
#include "com/str.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "com/convert.h"

namespace qz {

namespace {

bool is_blank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }


// Magnitude of a hex/octal value as the narrowest signed integer that holds it.
int64_t radix_value(uint64_t bits) {
  if (bits <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(bits));
  if (bits <= 0xFFFFFFFFull) return static_cast<int32_t>(static_cast<uint32_t>(bits));
  return static_cast<int64_t>(bits);  // beyond 32 bits: wraps like the 64-bit word it is
}

// |digits * 10^(exponent + shift)| rounded half to even; false when it does not fit in 64 bits.
bool round_magnitude(const std::string& digits, int32_t exponent, int shift, uint64_t& out) {
  out = 0;
  if (digits.empty()) return true;
  int64_t e = static_cast<int64_t>(exponent) + shift;
  int64_t len = static_cast<int64_t>(digits.size());
  int64_t int_len = len + e;  // digits before the decimal point (may exceed len: zeros follow)
  if (int_len > 20) return false;
  unsigned __int128 v = 0;
  constexpr unsigned __int128 kLimit = std::numeric_limits<uint64_t>::max();
  for (int64_t i = 0; i < int_len; ++i) {
    v = v * 10 + (i < len ? digits[static_cast<size_t>(i)] - '0' : 0);
    if (v > kLimit) return false;
  }
  if (int_len < len) {
    // Round on the dropped digits: above half, or exactly half with an odd kept digit.
    int64_t first = int_len < 0 ? -1 : int_len;  // index of the first dropped digit
    int dropped = first < 0 ? 0 : digits[static_cast<size_t>(first)] - '0';
    bool rest_nonzero = false;
    if (first < 0) {
      // Every digit lies beyond the first fractional place: below half, never zero.
      rest_nonzero = true;
    } else {
      for (int64_t i = first + 1; i < len; ++i)
        if (digits[static_cast<size_t>(i)] != '0') { rest_nonzero = true; break; }
    }
    bool up = dropped > 5 || (dropped == 5 && (rest_nonzero || (v & 1)));
    if (up) {
      ++v;
      if (v > kLimit) return false;
    }
  }
  out = static_cast<uint64_t>(v);
  return true;
}

}  // namespace

double ParsedNumber::to_double() const {
  if (radix) return static_cast<double>(radix_value(bits));
  if (digits.empty()) return 0.0;
  // Up to 15 digits and a power of ten up to 22 are both exact Doubles, so one multiplication
  // or division rounds correctly: the usual short numbers skip the general reader.
  if (digits.size() <= 15 && exponent >= -22 && exponent <= 22) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    uint64_t m = 0;
    for (char c : digits) m = m * 10 + static_cast<uint64_t>(c - '0');
    double v = static_cast<double>(m);
    v = exponent >= 0 ? v * kPow10[exponent] : v / kPow10[-exponent];
    return negative ? -v : v;
  }
  std::string text = digits;
  text += 'e';
  text += std::to_string(exponent);
  double v = 0.0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Out of range one way or the other: the magnitude's decimal exponent tells which.
    int64_t magnitude = static_cast<int64_t>(exponent) + static_cast<int64_t>(digits.size());
    v = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -v : v;
}

bool ParsedNumber::to_integer(int bits_wide, int64_t& out) const {
  if (radix) {
    if (bits_wide == 8 && bits <= 0xFF) { out = static_cast<int64_t>(bits); return true; }
    int64_t v = radix_value(bits);
    if (bits_wide == 8) { if (v < 0 || v > 255) return false; }
    else if (bits_wide == 16) { if (v < INT16_MIN || v > INT16_MAX) return false; }
    else if (bits_wide == 32) { if (v < INT32_MIN || v > INT32_MAX) return false; }
    out = v;
    return true;
  }
  uint64_t mag = 0;
  if (!round_magnitude(digits, exponent, 0, mag)) return false;
  uint64_t limit;
  switch (bits_wide) {
    case 8: limit = negative ? 0 : 255; break;
    case 16: limit = negative ? 32768u : 32767u; break;
    case 32: limit = negative ? 2147483648u : 2147483647u; break;
    default: limit = negative ? 9223372036854775808ull : 9223372036854775807ull; break;
  }
  if (mag > limit) return false;
  out = negative ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag);
  return true;
}

bool ParsedNumber::to_currency(int64_t& out) const {
  if (radix) {
    __int128 v = static_cast<__int128>(radix_value(bits)) * 10000;
    if (v > INT64_MAX || v < INT64_MIN) return false;
    out = static_cast<int64_t>(v);
    return true;
  }
  uint64_t mag = 0;
  if (!round_magnitude(digits, exponent, 4, mag)) return false;
  if (mag > (negative ? 9223372036854775808ull : 9223372036854775807ull)) return false;
  out = negative ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag);
  return true;
}

bool parse_number_text(std::u16string_view text, ParsedNumber& out) {
  out = ParsedNumber();
  size_t i = 0, n = text.size();
  auto at = [&](size_t k) -> char16_t { return k < n ? text[k] : u'\0'; };
  while (i < n && is_blank(text[i])) ++i;
  while (n > i && is_blank(text[n - 1])) --n;
  if (i >= n) return false;

  // &H and &O: nothing else may surround them but blanks.
  if (text[i] == u'&') {
    char16_t kind = at(i + 1);
    int base = (kind == u'H' || kind == u'h') ? 16 : (kind == u'O' || kind == u'o') ? 8 : 0;
    if (base == 0) return false;
    i += 2;
    if (i >= n) return false;
    uint64_t v = 0;
    for (; i < n; ++i) {
      int d = hex_digit_value(text[i]);
      if (d < 0 || d >= base) return false;
      if (v > (std::numeric_limits<uint64_t>::max() >> (base == 16 ? 4 : 3))) return false;
      v = v * base + static_cast<uint64_t>(d);
    }
    out.radix = true;
    out.bits = v;
    return true;
  }

  bool paren = false, sign_seen = false, currency_seen = false;
  for (;;) {
    char16_t c = at(i);
    if (c == u'(' && !paren && !sign_seen && !currency_seen) { paren = true; ++i; continue; }
    if ((c == u'+' || c == u'-') && !sign_seen && !paren) {
      sign_seen = true;
      out.negative = c == u'-';
      ++i;
      continue;
    }
    if (c == u'$' && !currency_seen) { currency_seen = true; ++i; continue; }
    break;
  }

  // Mantissa: digits with thousands separators, then an optional fraction.
  std::string digits;
  int64_t exp10 = 0;
  bool any_digit = false;
  while (i < n && (is_digit(text[i]) || (text[i] == u',' && any_digit))) {
    if (text[i] != u',') {
      any_digit = true;
      if (!(digits.empty() && text[i] == u'0')) digits.push_back(static_cast<char>(text[i]));
    }
    ++i;
  }
  if (at(i) == u'.') {
    ++i;
    while (i < n && is_digit(text[i])) {
      any_digit = true;
      if (!(digits.empty() && text[i] == u'0')) digits.push_back(static_cast<char>(text[i]));
      --exp10;
      ++i;
    }
  }
  if (!any_digit) return false;

  char16_t c = at(i);
  if (c == u'e' || c == u'E' || c == u'd' || c == u'D') {
    ++i;
    bool exp_negative = false;
    if (at(i) == u'+' || at(i) == u'-') { exp_negative = at(i) == u'-'; ++i; }
    if (!is_digit(at(i))) return false;
    int64_t e = 0;
    while (i < n && is_digit(text[i])) {
      if (e < 100000000) e = e * 10 + (text[i] - u'0');
      ++i;
    }
    exp10 += exp_negative ? -e : e;
  }

  if (i < n && (text[i] == u'+' || text[i] == u'-') && !sign_seen && !paren) {
    out.negative = text[i] == u'-';
    sign_seen = true;
    ++i;
  }
  if (paren) {
    if (at(i) != u')') return false;
    ++i;
    out.negative = true;
  }
  if (i != n) return false;

  // Normalise: no trailing zeros in the digit string.
  while (!digits.empty() && digits.back() == '0') {
    digits.pop_back();
    ++exp10;
  }
  if (digits.empty()) {
    exp10 = 0;
    out.negative = false;
  }
  if (exp10 > 1000000000) exp10 = 1000000000;
  if (exp10 < -1000000000) exp10 = -1000000000;
  out.digits = std::move(digits);
  out.exponent = static_cast<int32_t>(exp10);
  return true;
}

bool parse_number(std::u16string_view text, double& out) {
  ParsedNumber p;
  if (!parse_number_text(text, p)) return false;
  out = p.to_double();
  return true;
}

}  // namespace qz
