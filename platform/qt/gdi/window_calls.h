// The window calls of sys.API on our own windows: finding, moving, re-parenting, a few
// messages, locking painting and synthetic mouse input.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/window/window_system.h"

namespace qz {

WindowHandle find_child_window_of(WindowHandle parent, WindowHandle after, std::u16string_view kind,
                                  std::u16string_view caption);
bool set_window_position(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y, int32_t cx, int32_t cy,
                         int32_t flags);
WindowHandle set_window_parent(WindowHandle child, WindowHandle parent);
int32_t send_window_message(WindowHandle window, int32_t message, int32_t wparam, int32_t lparam);
bool lock_window_painting(WindowHandle window);
void synthesize_mouse(int32_t flags, int32_t dx, int32_t dy);

}  // namespace qz
