#include "platform/qt/gdi/window_calls.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

// Message numbers and flags as the platform defines them.
constexpr int32_t kWmEnable = 0x0A, kWmSetRedraw = 0x0B, kWmGetTextLength = 0x0E, kWmClose = 0x10;
constexpr int32_t kWmSysCommand = 0x112;
constexpr int32_t kScMinimize = 0xF020, kScMaximize = 0xF030, kScClose = 0xF060, kScRestore = 0xF120;
constexpr int32_t kSwpNoSize = 1, kSwpNoMove = 2, kSwpNoZOrder = 4, kSwpShow = 0x40, kSwpHide = 0x80;
constexpr int32_t kHwndTopmost = -1, kHwndNoTopmost = -2, kHwndBottom = 1;
constexpr int32_t kMouseMove = 1, kMouseAbsolute = 0x8000;

QWidget* widget_of(WindowHandle h) {
  QtControl* c = find_window(h);
  return c && !c->destroyed() ? c->widget() : nullptr;
}

WindowHandle handle_of(const QWidget* w) {
  QVariant h = w ? w->property("quazel_handle") : QVariant();
  return h.isValid() ? h.toInt() : 0;
}

bool same_text(std::u16string_view a, const QString& b) {
  return a.empty() ||
         QString::fromUtf16(a.data(), static_cast<qsizetype>(a.size())).compare(b, Qt::CaseInsensitive) == 0;
}

// The window text a caption search compares: a form's title, a control's Caption or Text.
QString window_text(QtControl& c) {
  QWidget* w = c.widget();
  if (w->isWindow()) return w->windowTitle();
  for (const char* prop : {"text", "title"}) {
    QVariant v = w->property(prop);
    if (v.isValid()) return v.toString();
  }
  return QString();
}

QPointer<QWidget>& locked_window() {
  static QPointer<QWidget> w;
  return w;
}

}  // namespace

WindowHandle find_child_window_of(WindowHandle parent, WindowHandle after, std::u16string_view kind,
                                  std::u16string_view caption) {
  QList<QWidget*> candidates;
  QtControl* owner = nullptr;
  if (parent == 0) {
    candidates = QApplication::topLevelWidgets();
  } else {
    owner = find_window(parent);
    if (!owner || !owner->widget()) return 0;
    // The controls that sit on the window, whatever widgets Qt puts between them.
    candidates = owner->widget()->findChildren<QWidget*>();
  }
  bool passed = after == 0;
  for (QWidget* w : candidates) {
    WindowHandle h = handle_of(w);
    QtControl* c = h ? find_window(h) : nullptr;
    if (!c || c->widget() != w || (owner && c->container() != owner)) continue;
    if (!passed) {
      passed = h == after;
      continue;
    }
    if (same_text(kind, QString::fromUtf16(c->kind().data(), static_cast<qsizetype>(c->kind().size()))) &&
        same_text(caption, window_text(*c)))
      return h;
  }
  return 0;
}

bool set_window_position(WindowHandle window, WindowHandle insert_after, int32_t x, int32_t y, int32_t cx, int32_t cy,
                         int32_t flags) {
  QWidget* w = widget_of(window);
  if (!w) return false;
  if (!(flags & kSwpNoMove)) w->move(x, y);
  if (!(flags & kSwpNoSize)) w->resize(std::max(0, cx), std::max(0, cy));
  if (!(flags & kSwpNoZOrder)) {
    if (w->isWindow() && (insert_after == kHwndTopmost || insert_after == kHwndNoTopmost)) {
      bool was_visible = w->isVisible();
      w->setWindowFlag(Qt::WindowStaysOnTopHint, insert_after == kHwndTopmost);
      if (was_visible) w->show();
    } else if (insert_after == kHwndBottom) {
      w->lower();
    } else {
      w->raise();
    }
  }
  if (flags & kSwpShow) w->show();
  if (flags & kSwpHide) w->hide();
  return true;
}

WindowHandle set_window_parent(WindowHandle child, WindowHandle parent) {
  QWidget* c = widget_of(child);
  QWidget* p = parent ? widget_of(parent) : nullptr;
  if (!c || (parent && !p) || c == p || (p && c->isAncestorOf(p))) return 0;
  WindowHandle before = handle_of(c->parentWidget());
  bool was_visible = c->isVisible();
  QPoint at = c->pos();
  c->setParent(p, p ? Qt::Widget : Qt::Window);
  c->move(at);
  if (was_visible) c->show();
  // The desktop stands for "no parent": a number other than 0, so the call reads as done.
  return before ? before : 0x10000;
}

int32_t send_window_message(WindowHandle window, int32_t message, int32_t wparam, int32_t) {
  QWidget* w = widget_of(window);
  if (!w) return 0;
  switch (message) {
    case kWmClose:
      w->window()->close();
      return 0;
    case kWmEnable:
      w->setEnabled(wparam != 0);
      return 0;
    case kWmSetRedraw:
      w->setUpdatesEnabled(wparam != 0);
      if (wparam) w->update();
      return 0;
    case kWmGetTextLength:
      return static_cast<int32_t>(window_text(*find_window(window)).size());
    case kWmSysCommand: {
      QWidget* top = w->window();
      switch (wparam & 0xFFF0) {
        case kScMinimize:
          top->showMinimized();
          break;
        case kScMaximize:
          top->showMaximized();
          break;
        case kScRestore:
          top->showNormal();
          break;
        case kScClose:
          top->close();
          break;
        default:
          break;
      }
      return 0;
    }
    default:
      return 0;
  }
}

bool lock_window_painting(WindowHandle window) {
  QPointer<QWidget>& locked = locked_window();
  if (window == 0) {
    if (locked) {
      locked->setUpdatesEnabled(true);
      locked->update();
    }
    locked = nullptr;
    return true;
  }
  QWidget* w = widget_of(window);
  if (!w || (locked && locked != w)) return false;  // one window at a time
  w->setUpdatesEnabled(false);
  locked = w;
  return true;
}

void synthesize_mouse(int32_t flags, int32_t dx, int32_t dy) {
  QPoint pos = QCursor::pos();
  if (flags & kMouseMove) {
    if (flags & kMouseAbsolute) {
      QScreen* s = QGuiApplication::primaryScreen();
      QRect g = s ? s->geometry() : QRect(0, 0, 1, 1);
      pos = QPoint(g.x() + static_cast<int>(qint64{dx} * g.width() / 65536),
                   g.y() + static_cast<int>(qint64{dy} * g.height() / 65536));
    } else {
      pos += QPoint(dx, dy);
    }
    QCursor::setPos(pos);
  }
  struct Button {
    int32_t down, up;
    Qt::MouseButton button;
  };
  for (Button b :
       {Button{2, 4, Qt::LeftButton}, Button{8, 0x10, Qt::RightButton}, Button{0x20, 0x40, Qt::MiddleButton}}) {
    for (bool press : {true, false}) {
      if (!(flags & (press ? b.down : b.up))) continue;
      QWidget* target = QApplication::widgetAt(pos);
      if (!target) continue;
      QPointF local = target->mapFromGlobal(QPointF(pos));
      QMouseEvent e(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, QPointF(pos), b.button,
                    press ? b.button : Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(target, &e);
    }
  }
}

}  // namespace qz
