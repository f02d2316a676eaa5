// The display mode: read from the screen, listed and changed through the X RandR extension
// (loaded at run time) where the display has it. Elsewhere (no X display, the offscreen
// platform) the list holds the current mode alone and changes fail.
#pragma once
#include <vector>

#include "platform/window/graphics_services.h"

namespace qz {

DisplayMode current_display_mode();
std::vector<DisplayMode> list_display_modes();
// The platform's codes: 0 changed, -1 failed, -2 mode not offered. Flag 2 (test) only checks.
int32_t switch_display_mode(const DisplayMode& mode, int32_t flags);

}  // namespace qz
