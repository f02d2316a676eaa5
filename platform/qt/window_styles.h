// A form window's frame parts on Qt: each switch is kept with the window and the whole set
// becomes its window flags (title bar, window menu, minimise/maximise/close buttons, tool
// window, no taskbar button, fixed size).
#pragma once
#include <QWidget>

#include "platform/window/window_styles.h"

namespace qz {

void apply_window_style(QWidget& window, WindowStylePart part, bool on);
// The flags a set of switches gives (what apply_window_style sets).
Qt::WindowFlags window_style_flags(const QWidget& window);

}  // namespace qz
