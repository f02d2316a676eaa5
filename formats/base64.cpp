#include "formats/base64.h"

#include <array>

namespace qz {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kGroupsPerLine = 19;  // 76 characters

constexpr std::array<signed char, 256> make_decode_table() {
  std::array<signed char, 256> t{};
  for (auto& v : t) v = -1;
  for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  return t;
}
constexpr auto kDecode = make_decode_table();

}  // namespace

std::string base64_encode_lines(std::string_view bytes) {
  const size_t groups = bytes.size() / 3;
  std::string out;
  out.reserve(4 * groups + 2 * (groups / kGroupsPerLine) + 4);
  auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
  for (size_t g = 0; g < groups; ++g) {
    unsigned v = byte(3 * g) << 16 | byte(3 * g + 1) << 8 | byte(3 * g + 2);
    for (int s = 18; s >= 0; s -= 6) out.push_back(kAlphabet[(v >> s) & 63]);
    if ((g + 1) % kGroupsPerLine == 0) out += "\r\n";
  }
  size_t rest = bytes.size() - 3 * groups;
  if (rest > 0) {
    unsigned v = byte(3 * groups) << 16 | (rest == 2 ? byte(3 * groups + 1) << 8 : 0u);
    out.push_back(kAlphabet[(v >> 18) & 63]);
    out.push_back(kAlphabet[(v >> 12) & 63]);
    out.push_back(rest == 2 ? kAlphabet[(v >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

std::string base64_decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  unsigned bits = 0;
  int count = 0;
  for (unsigned char c : text) {
    if (c == '=') break;
    int v = kDecode[c];
    if (v < 0) continue;
    bits = (bits << 6 | static_cast<unsigned>(v)) & 0xFFFFFF;
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return out;
}

}  // namespace qz
