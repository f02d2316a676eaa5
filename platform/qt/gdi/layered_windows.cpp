#include "platform/qt/gdi/layered_windows.h"

#include <QBitmap>
#include <QWidget>

#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

constexpr int32_t kColorKey = 1, kAlpha = 2;
constexpr const char* kLayered = "quazel_layered";

QWidget* top_level(WindowHandle h) {
  QtControl* c = find_window(h);
  QWidget* w = c && !c->destroyed() ? c->widget() : nullptr;
  return w && w->isWindow() ? w : nullptr;
}

}  // namespace

bool window_is_layered(WindowHandle window) {
  QWidget* w = top_level(window);
  return w && w->property(kLayered).toBool();
}

bool set_layered_window(WindowHandle window, uint8_t alpha, int32_t flags) {
  QWidget* w = top_level(window);
  if (!w) return false;
  mark_layered(w);
  if (flags & kAlpha) w->setWindowOpacity(alpha / 255.0);
  if (flags & kColorKey) {
    // The black parts of what the window shows now let the desktop through.
    QImage shown = w->grab().toImage();
    w->setMask(QBitmap::fromImage(shown.createMaskFromColor(qRgb(0, 0, 0), Qt::MaskInColor)));
  }
  return true;
}

void mark_layered(QWidget* window) { window->setProperty(kLayered, true); }

}  // namespace qz
