// Decimal digits of the numbers Format shows. Doubles are taken at the 15 significant digits
// (Singles at 7) that the language shows them with, so 2.675 rounds to 2.68 as a user expects.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "com/error.h"
#include "runtime/helpers/format_parts.h"

namespace qz::fmt {

namespace {

void strip(Decimal& d) {
  size_t nz = d.digits.find_first_not_of('0');
  if (nz == std::string::npos) {
    d.digits.clear();
    d.point = 0;
    return;
  }
  d.digits.erase(0, nz);
  d.point -= static_cast<int>(nz);
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

}  // namespace

Decimal Decimal::of_double(double v, int significant) {
  if (!std::isfinite(v)) raise(kErrOverflow);
  Decimal d;
  d.negative = std::signbit(v) && v != 0;
  if (v == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(v));
  std::string s(buf);
  size_t e = s.find('e');
  d.digits = s.substr(0, 1) + (e > 2 ? s.substr(2, e - 2) : std::string());
  d.point = std::atoi(s.c_str() + e + 1) + 1;
  strip(d);
  return d;
}

Decimal Decimal::of_integer(int64_t v) {
  Decimal d;
  d.negative = v < 0;
  uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  d.digits = std::to_string(mag);
  d.point = static_cast<int>(d.digits.size());
  strip(d);
  return d;
}

Decimal Decimal::of_currency(int64_t scaled) {
  Decimal d = of_integer(scaled);
  if (!d.digits.empty()) d.point -= 4;
  return d;
}

bool Decimal::is_zero() const { return digits.empty(); }

void Decimal::round_to(int places) {
  long keep = static_cast<long>(point) + places;  // digits that stay
  if (keep >= static_cast<long>(digits.size())) return;
  if (keep < 0) {
    digits.clear();
    point = 0;
    return;
  }
  bool up = digits[static_cast<size_t>(keep)] >= '5';
  digits.resize(static_cast<size_t>(keep));
  if (up) {
    long i = keep - 1;
    for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i) digits[static_cast<size_t>(i)] = '0';
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      ++point;
    } else {
      ++digits[static_cast<size_t>(i)];
    }
  }
  strip(*this);
}

std::string Decimal::integer_digits() const {
  std::string out;
  for (int i = 0; i < point; ++i) out.push_back(i < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(i)] : '0');
  return out;
}

std::string Decimal::fraction_digits(int n) const {
  std::string out;
  for (int i = 0; i < n; ++i) {
    long k = static_cast<long>(point) + i;
    out.push_back(k >= 0 && k < static_cast<long>(digits.size()) ? digits[static_cast<size_t>(k)] : '0');
  }
  return out;
}

}  // namespace qz::fmt
