// The process-wide table of window handles: numbers a script can hold, pass to sys.API or to
// AttachMsg, and hand back. A number that is not in the table names no window.
#pragma once
#include <cstdint>

#include "platform/window/window_system.h"

namespace qz {

class QtControl;

WindowHandle register_window(QtControl* control);
void unregister_window(WindowHandle h);
QtControl* find_window(WindowHandle h);

}  // namespace qz
