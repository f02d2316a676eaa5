#include "platform/qt/window_messages.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/qt/qt_control.h"
#include "platform/window/window_messages.h"

namespace qz {

namespace {

MessageHook& hook() {
  static auto* h = new MessageHook();
  return *h;
}

int32_t key_state(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
  int32_t s = 0;
  if (b & Qt::LeftButton) s |= 1;
  if (b & Qt::RightButton) s |= 2;
  if (m & Qt::ShiftModifier) s |= 4;
  if (m & Qt::ControlModifier) s |= 8;
  if (b & Qt::MiddleButton) s |= 16;
  return s;
}

// The message of a button event: `left` is the left button's number, right and middle follow
// three and six further on.
int32_t button_message(int32_t left, Qt::MouseButton b) {
  if (b == Qt::RightButton) return left + 3;
  if (b == Qt::MiddleButton) return left + 6;
  return left;
}

}  // namespace

void set_window_message_hook(MessageHook h) { hook() = std::move(h); }

void send_window_message(const WindowMessage& m) {
  if (!hook()) return;
  MessageHook h = hook();  // a procedure may set another hook
  try {
    h(m);
  } catch (...) {
  }
}

void send_event_messages(QtControl& control, QEvent* event) {
  QWidget* w = control.widget();
  if (!w) return;
  WindowMessage m;
  m.window = control.handle();
  auto send = [&](int32_t message, int32_t wparam, int32_t lparam) {
    m.message = message;
    m.wparam = wparam;
    m.lparam = lparam;
    send_window_message(m);
  };
  auto point = [](QPointF p) { return wm::make_param(static_cast<int>(p.x()), static_cast<int>(p.y())); };
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      send(wm::kMouseMove, key_state(e->buttons(), e->modifiers()), point(e->position()));
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* e = static_cast<QMouseEvent*>(event);
      int32_t left = event->type() == QEvent::MouseButtonPress     ? wm::kLButtonDown
                     : event->type() == QEvent::MouseButtonRelease ? wm::kLButtonUp
                                                                   : wm::kLButtonDblClk;
      send(button_message(left, e->button()), key_state(e->buttons(), e->modifiers()), point(e->position()));
      break;
    }
    case QEvent::Wheel: {
      auto* e = static_cast<QWheelEvent*>(event);
      int32_t state = key_state(e->buttons(), e->modifiers());
      send(wm::kMouseWheel, wm::make_param(state, e->angleDelta().y()), point(e->globalPosition()));
      break;
    }
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      send(wm::kKeyDown, QtControl::key_code(e->key()), e->isAutoRepeat() ? (1 | (1 << 30)) : 1);
      if (!e->text().isEmpty()) send(wm::kChar, e->text()[0].unicode(), 1);
      break;
    }
    case QEvent::KeyRelease: {
      auto* e = static_cast<QKeyEvent*>(event);
      send(wm::kKeyUp, QtControl::key_code(e->key()), static_cast<int32_t>(0xC0000001u));
      break;
    }
    case QEvent::Resize: {
      auto* e = static_cast<QResizeEvent*>(event);
      Qt::WindowStates s = w->windowState();
      send(wm::kSize, s & Qt::WindowMinimized ? 1 : s & Qt::WindowMaximized ? 2 : 0,
           wm::make_param(e->size().width(), e->size().height()));
      break;
    }
    case QEvent::Move: {
      QPoint origin = w->mapToGlobal(QPoint(0, 0));
      send(wm::kMove, 0, wm::make_param(origin.x(), origin.y()));
      break;
    }
    case QEvent::WindowActivate: send(wm::kActivate, 1, 0); break;
    case QEvent::WindowDeactivate: send(wm::kActivate, 0, 0); break;
    case QEvent::FocusIn: send(wm::kSetFocus, 0, 0); break;
    case QEvent::FocusOut: send(wm::kKillFocus, 0, 0); break;
    case QEvent::Paint: send(wm::kPaint, 0, 0); break;
    case QEvent::Close: send(wm::kClose, 0, 0); break;
    case QEvent::Show: send(wm::kShowWindow, 1, 0); break;
    case QEvent::Hide: send(wm::kShowWindow, 0, 0); break;
    case QEvent::Leave: send(wm::kMouseLeave, 0, 0); break;
    case QEvent::ContextMenu: {
      auto* e = static_cast<QContextMenuEvent*>(event);
      send(wm::kContextMenu, control.handle(), point(e->globalPos()));
      break;
    }
    default:
      break;
  }
}

}  // namespace qz
