#include "services/gdi/color_helpers.h"

#include <cmath>

#include "com/convert.h"

namespace qz {

int32_t qb_color(int32_t number) {
  static constexpr int32_t kPalette[16] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
  };
  return number >= 0 && number < 16 ? kPalette[number] : 0;
}

int32_t gradient_color(float percent, int32_t color1, int32_t color2) {
  if (color1 < 0 || color2 < 0) return 0;
  auto channels = [](int32_t c, double out[3]) {
    int32_t m = c % 65536;
    out[0] = m % 256;
    out[1] = m / 256;
    out[2] = c / 65536;
  };
  double a[3], b[3];
  channels(color1, a);
  channels(color2, b);
  double p = percent;
  int64_t parts[3];
  for (int i = 0; i < 3; ++i) {
    double x = b[i] < a[i] ? a[i] - ((a[i] - b[i]) / 100) * p : a[i] + ((b[i] - a[i]) / 100) * p;
    if (!std::isfinite(x)) return 0;
    double r = round_half_even(x);
    if (r < 0) return 0;
    parts[i] = r > 255 ? 255 : static_cast<int64_t>(r);
  }
  return static_cast<int32_t>(parts[0] + 256 * parts[1] + 65536 * parts[2]);
}

}  // namespace qz
