#include "services/file/size_text.h"

#include <cmath>
#include <cstdio>

#include "com/str.h"

namespace qz {

namespace {

// The number formats "0", "0.0" and "0.00": rounded half away from zero at that many decimals.
std::u16string fixed(double x, int decimals) {
  double scale = decimals == 0 ? 1 : decimals == 1 ? 10 : 100;
  double r = std::round(x * scale) / scale;
  if (r == 0) r = 0;  // no "-0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
  return utf8_to_u16(buf);
}

}  // namespace

double hi_lo_to_double(int32_t lo, int32_t hi) {
  return static_cast<double>(static_cast<uint32_t>(hi)) * 4294967296.0 + static_cast<double>(static_cast<uint32_t>(lo));
}

std::u16string format_size_number(double x) {
  if (x >= 100) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::nearbyint(x));  // the default rounding mode: halves to even
    return utf8_to_u16(buf);
  }
  return fixed(x, x >= 10 ? 1 : 2);
}

std::u16string format_bytes(double bytes, bool russian) {
  struct Unit {
    double scale;
    const char16_t* en;
    const char16_t* ru;
  };
  static constexpr Unit kUnits[] = {
      {1024.0, u" KB", u" КБ"},
      {1048576.0, u" MB", u" МБ"},
      {1073741824.0, u" GB", u" ГБ"},
      {1099511627776.0, u" TB", u" ТБ"},
  };
  if (bytes <= 999) return fixed(bytes, 0) + (russian ? u" байт" : u" bytes");
  for (const Unit& u : kUnits)
    if (bytes <= 999 * u.scale) return format_size_number(bytes / u.scale) + (russian ? u.ru : u.en);
  return {};
}

}  // namespace qz
