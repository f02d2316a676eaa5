// Tests that need windows: the window system is linked in and draws off screen; input goes to
// the widgets through QTest, as a user's mouse and keyboard would.
#pragma once
#include <QApplication>
#include <QTest>

#include <cstdlib>

#include "platform/event_loop.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/window_table.h"
#include "platform/window/window_system.h"

namespace qz {

inline void install_offscreen_window_system() {
  if (window_system_loaded()) return;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  set_window_system(make_qt_window_system(&event_loop()));
}

// The widget behind a toolkit window (nullptr once it is gone).
inline QWidget* widget_of(ToolkitWindow* w) {
  QtControl* c = w ? find_window(w->handle()) : nullptr;
  return c ? c->widget() : nullptr;
}

// Lets Qt deliver what is waiting (paints, deferred deletes).
inline void settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

}  // namespace qz
