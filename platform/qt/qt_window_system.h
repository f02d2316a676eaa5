// The window system on Qt: makes forms and controls, finds windows by handle, loads pictures.
#pragma once
#include "platform/window/window_system.h"

namespace qz {

class EventLoop;

// Starts the application on `loop` (once) and returns the process's window system; nullptr
// when Qt cannot start.
WindowSystem* make_qt_window_system(EventLoop* loop);

}  // namespace qz
