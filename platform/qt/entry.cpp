// The one symbol libquazel_gui.so exports: the engine calls it on the first use of a window.
#include "platform/event_loop.h"
#include "platform/qt/qt_window_system.h"

extern "C" __attribute__((visibility("default"))) qz::WindowSystem* quazel_gui_create(qz::EventLoop* loop) {
  try {
    // This library has its own copy of the platform layer: it adopts the engine's loop.
    qz::set_event_loop(loop);
    return qz::make_qt_window_system(loop);
  } catch (...) {
    return nullptr;
  }
}
