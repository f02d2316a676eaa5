// The process-wide table of window handles: numbers a script can hold, pass to sys.API or to
// AttachMsg, and hand back. A number that is not in the table names no window.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window/window_system.h"

namespace qz {

class QtControl;

WindowHandle register_window(QtControl* control);
void unregister_window(WindowHandle h);
QtControl* find_window(WindowHandle h);
// Every window in the table, oldest first.
std::vector<QtControl*> listed_windows();
// Hears each window as it enters the table (its widget is attached, its settings not yet
// made), so what holds for every window of a kind can be given to new ones too. One hook.
void set_window_listed_hook(std::function<void(QtControl&)> hook);

}  // namespace qz
