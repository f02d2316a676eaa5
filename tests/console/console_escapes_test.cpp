#include "services/console/console_escapes.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(ConsoleEscapes, AttributesBecomeTerminalColours) {
  struct Case {
    uint16_t attribute;
    std::string_view sgr;
  } cases[] = {
      {7, "\x1b[0m"},              // the console default: the terminal's own colours
      {0x0107, "\x1b[0m"},         // bits above the colours do not matter
      {14, "\x1b[0;93;40m"},       // yellow (bright red + green) on black
      {1, "\x1b[0;34;40m"},        // blue: the colour bits are ordered the other way round
      {4, "\x1b[0;31;40m"},        // red
      {0x1F, "\x1b[0;97;44m"},     // bright white on blue
      {0xC0, "\x1b[0;30;101m"},    // black on bright red
      {0xFFFE, "\x1b[0;93;107m"},  // -2: what the low byte says
  };
  for (const auto& c : cases) EXPECT_EQ(sgr_for_attribute(c.attribute), c.sgr) << c.attribute;
}

TEST(ConsoleEscapes, CursorAndTitle) {
  EXPECT_EQ(cursor_position(0, 0), "\x1b[1;1H");
  EXPECT_EQ(cursor_position(9, 4), "\x1b[5;10H");
  EXPECT_EQ(window_title("My App"), "\x1b]0;My App\a");
  // A title cannot end its sequence early or smuggle in another one.
  EXPECT_EQ(window_title("a\x07" "b\x1b]0;x\x7f"), "\x1b]0;ab]0;x\a");
}

}  // namespace
}  // namespace qz
