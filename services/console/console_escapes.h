// The terminal control sequences that stand in for the console calls: text attributes
// (foreground colour in the low four bits, background colour in the next four; colour bits
// 1 blue, 2 green, 4 red, 8 bright), cursor position and window title.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

// The console's default look, light grey on black.
constexpr uint16_t kConsoleDefaultAttribute = 7;

// Select Graphic Rendition for an attribute; the default attribute resets the terminal to
// its own default colours. Bits above the low byte are ignored.
std::string sgr_for_attribute(uint16_t attribute);
// Moves the cursor to a zero-based column and row.
std::string cursor_position(int column, int row);
// Sets the window title; control characters in the title are left out so that the title
// cannot end the sequence early or start another one.
std::string window_title(std::string_view title_bytes);

}  // namespace qz
