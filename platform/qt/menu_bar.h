// Run-time menus on Qt: a form's menu bar (a QMenuBar across the top of the form's window, the
// controls below it) and pop-up menus that open without a loop of their own, so the engine's
// loop keeps its timers running while the menu is open.
#pragma once
#include <functional>

#include "platform/window/window_system.h"

namespace qz {

class QtControl;

void set_form_menu_bar(QtControl& form, const MenuEntries& entries);
void popup_menu_at(const MenuEntries& entries, int32_t x, int32_t y, std::function<void(int32_t)> closed);

}  // namespace qz
