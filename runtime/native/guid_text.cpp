#include "runtime/native/guid_text.h"

#include "com/str.h"

namespace qz {

namespace {

// The value of `n` hex digits at `pos`; -1 when one is not a digit.
int64_t hex_at(std::u16string_view t, size_t pos, size_t n) {
  int64_t v = 0;
  for (size_t i = 0; i < n; ++i) {
    int d = hex_digit_value(t[pos + i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

std::optional<std::array<uint8_t, 16>> parse_guid_text(std::u16string_view t) {
  if (t.size() != 38 || t[0] != u'{' || t[37] != u'}' || t[9] != u'-' || t[14] != u'-' || t[19] != u'-' ||
      t[24] != u'-')
    return std::nullopt;
  std::array<uint8_t, 16> g{};
  int64_t d1 = hex_at(t, 1, 8), d2 = hex_at(t, 10, 4), d3 = hex_at(t, 15, 4);
  if (d1 < 0 || d2 < 0 || d3 < 0) return std::nullopt;
  for (int i = 0; i < 4; ++i) g[i] = static_cast<uint8_t>(d1 >> (8 * i));
  for (int i = 0; i < 2; ++i) g[4 + i] = static_cast<uint8_t>(d2 >> (8 * i));
  for (int i = 0; i < 2; ++i) g[6 + i] = static_cast<uint8_t>(d3 >> (8 * i));
  static constexpr size_t kTail[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    int64_t b = hex_at(t, kTail[i], 2);
    if (b < 0) return std::nullopt;
    g[8 + i] = static_cast<uint8_t>(b);
  }
  return g;
}

}  // namespace qz
