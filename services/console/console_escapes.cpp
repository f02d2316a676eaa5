#include "services/console/console_escapes.h"

namespace qz {

namespace {

// Console colour bits (blue 1, green 2, red 4) to the terminal's (red 1, green 2, blue 4).
int ansi_colour(int console_colour) {
  return ((console_colour & 1) << 2) | (console_colour & 2) | ((console_colour & 4) >> 2);
}

}  // namespace

std::string sgr_for_attribute(uint16_t attribute) {
  if ((attribute & 0xFF) == kConsoleDefaultAttribute) return "\x1b[0m";
  int fore = attribute & 0xF, back = (attribute >> 4) & 0xF;
  int fore_code = (fore & 8 ? 90 : 30) + ansi_colour(fore);
  int back_code = (back & 8 ? 100 : 40) + ansi_colour(back);
  return "\x1b[0;" + std::to_string(fore_code) + ";" + std::to_string(back_code) + "m";
}

std::string cursor_position(int column, int row) {
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

std::string window_title(std::string_view title_bytes) {
  std::string out = "\x1b]0;";
  for (char c : title_bytes) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u != 0x7F) out.push_back(c);
  }
  out += '\a';
  return out;
}

}  // namespace qz
