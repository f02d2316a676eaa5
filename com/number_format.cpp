// Numbers as CStr writes them: the shortest of fixed or exponent form at 15 significant digits
// for Double and 7 for Single (exponent form from 1E+15 / 1E+07 up and below 0.0001), trailing
// zeros dropped, a two-digit exponent at least ("1.5E-05").
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "com/convert.h"

namespace qz {

namespace {

std::u16string format_significant(double v, int digits) {
  if (std::isnan(v)) return u"-1.#IND";
  if (std::isinf(v)) return v > 0 ? u"1.#INF" : u"-1.#INF";
  if (v == 0) return u"0";  // also -0
  char buf[48];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
  std::u16string out(buf, res.ptr);
  for (char16_t& c : out)
    if (c == u'e') c = u'E';
  return out;
}

}  // namespace

std::u16string format_double(double v) { return format_significant(v, 15); }

std::u16string format_single(float v) { return format_significant(static_cast<double>(v), 7); }

std::u16string format_currency_value(int64_t scaled) {
  bool negative = scaled < 0;
  uint64_t mag = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  char buf[40];
  int n = std::snprintf(buf, sizeof buf, "%s%llu", negative ? "-" : "",
                        static_cast<unsigned long long>(mag / 10000));
  unsigned frac = static_cast<unsigned>(mag % 10000);
  if (frac) {
    char fbuf[8];
    std::snprintf(fbuf, sizeof fbuf, ".%04u", frac);
    int flen = 5;
    while (fbuf[flen - 1] == '0') --flen;
    for (int i = 0; i < flen; ++i) buf[n++] = fbuf[i];
  }
  return std::u16string(buf, buf + n);
}

}  // namespace qz
