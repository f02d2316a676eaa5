#include "platform/qt/qt_control.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/qt/window_table.h"

namespace qz {

namespace {
constexpr int kObjectUnloaded = 364;
}

bool EventRelay::eventFilter(QObject* watched, QEvent* event) {
  if (!control_ || control_->destroyed()) return false;
  Ref<QtControl> keep(control_);  // a procedure may unload the control inside its own event
  try {
    return control_->on_event(watched, event);
  } catch (...) {
    return false;  // nothing a script did may unwind through Qt's dispatch
  }
}

QtControl::QtControl(std::u16string_view kind, int16_t index)
    : kind_(kind), index_(index), events_(find_event_table(kind)) {}

QtControl::~QtControl() { destroy(); }

void QtControl::attach(QWidget* widget) {
  widget_ = widget;
  handle_ = register_window(this);
  widget->setProperty("quazel_handle", handle_);
  widget->installEventFilter(&relay_);
  widget->setAttribute(Qt::WA_DeleteOnClose, false);
}

void QtControl::destroy() {
  if (handle_) unregister_window(handle_);
  handle_ = 0;
  if (QWidget* w = widget_.data()) {
    widget_ = nullptr;
    w->removeEventFilter(&relay_);
    w->hide();
    // Qt may be inside an event of this very widget: it goes once control is back in the loop.
    w->setParent(nullptr);
    w->deleteLater();
  }
  listener_ = nullptr;
  parent_object = Variant();  // the form holds its controls; they must not hold it back
}

void QtControl::check_alive() const {
  if (destroyed()) raise(kObjectUnloaded, u"Object was unloaded");
}

bool QtControl::has_event(std::u16string_view name) const { return events_ && find_event(*events_, name); }

bool QtControl::raise_event(std::u16string_view name, std::vector<Variant>& args, Variant* result) {
  if (!listener_ || !events_) return false;
  const EventSpec* spec = find_event(*events_, name);
  if (!spec) return false;
  coerce_event_args(*spec, args.data(), args.size());
  WindowEvent e;
  e.name = spec->name;
  e.args = args.data();
  e.count = args.size();
  Ref<QtControl> keep(this);
  WindowListener listener = listener_;  // the procedure may replace or drop the listener
  try {
    listener(e);
  } catch (...) {
    return false;
  }
  if (result) *result = e.result;
  return e.ran;
}

bool QtControl::raise_event(std::u16string_view name) {
  std::vector<Variant> none;
  return raise_event(name, none);
}

QtControl* QtControl::container() const {
  if (!widget_) return nullptr;
  for (QWidget* p = widget_->parentWidget(); p; p = p->parentWidget()) {
    QVariant handle = p->property("quazel_handle");
    if (handle.isValid()) return find_window(handle.toInt());
  }
  return nullptr;
}

void QtControl::set_container(QtControl* c) {
  check_alive();
  if (!c || c == this || !c->widget()) raise(5);
  QRect r = twips_rect();
  bool shown = visible();
  widget_->setParent(c->widget());
  set_twips_rect(r);
  widget_->setVisible(shown);
}

QRect QtControl::twips_rect() const {
  if (!widget_) return {};
  QRect g = widget_->isWindow() ? widget_->frameGeometry() : widget_->geometry();
  return {g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel, g.height() * kTwipsPerPixel};
}

void QtControl::set_twips_rect(const QRect& r) {
  if (!widget_) return;
  auto px = [](int t) { return static_cast<int>(std::lround(t / static_cast<double>(kTwipsPerPixel))); };
  if (widget_->isWindow()) {
    widget_->move(px(r.x()), px(r.y()));
    widget_->resize(std::max(1, px(r.width())), std::max(1, px(r.height())));
  } else {
    widget_->setGeometry(px(r.x()), px(r.y()), std::max(0, px(r.width())), std::max(0, px(r.height())));
  }
}

QPointF QtControl::to_event_units(QPointF p) const { return p * kTwipsPerPixel; }

void QtControl::copy_settings_from(QtControl& model) {
  if (!widget_ || !model.widget_) return;
  set_twips_rect(model.twips_rect());
  widget_->setEnabled(model.widget_->isEnabled());
  widget_->setFont(model.widget_->font());
  widget_->setPalette(model.widget_->palette());
  widget_->setAutoFillBackground(model.widget_->autoFillBackground());
  widget_->setToolTip(model.widget_->toolTip());
  widget_->setCursor(model.widget_->cursor());
  tag = model.tag;
}

int16_t QtControl::button_code(Qt::MouseButtons b) {
  int16_t code = 0;
  if (b & Qt::LeftButton) code |= 1;
  if (b & Qt::RightButton) code |= 2;
  if (b & Qt::MiddleButton) code |= 4;
  return code;
}

int16_t QtControl::shift_code(Qt::KeyboardModifiers m) {
  int16_t code = 0;
  if (m & Qt::ShiftModifier) code |= 1;
  if (m & Qt::ControlModifier) code |= 2;
  if (m & Qt::AltModifier) code |= 4;
  return code;
}

int16_t QtControl::key_code(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<int16_t>(k);          // 65..90
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<int16_t>(k);          // 48..57
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<int16_t>(112 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Help: return 47;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
    case Qt::Key_Plus: case Qt::Key_Equal: return 187;
    case Qt::Key_Comma: case Qt::Key_Less: return 188;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 189;
    case Qt::Key_Period: case Qt::Key_Greater: return 190;
    case Qt::Key_Slash: case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
    default: return static_cast<int16_t>(k & 0x7FFF);
  }
}

bool QtControl::key_press(QKeyEvent* e) {
  if (replaying_key_) return false;
  std::vector<Variant> down{Variant(key_code(e->key())), Variant(shift_code(e->modifiers()))};
  raise_event(u"KeyDown", down);
  if (destroyed()) return true;
  bool swallowed = to_long(down[0]) == 0;
  QString text = e->text();
  if (text.isEmpty() || !text[0].isPrint() && text[0] != QChar(8) && text[0] != QChar(13) && text[0] != QChar(27)) {
    return swallowed;
  }
  char16_t ch = text[0].unicode();
  std::vector<Variant> press{Variant(static_cast<int16_t>(ch))};
  raise_event(u"KeyPress", press);
  if (destroyed()) return true;
  int32_t now = to_long(press[0]);
  if (now == 0) return true;
  if (now != ch) {
    // Another character than the one typed: the widget gets that one instead.
    QKeyEvent replaced(e->type(), 0, e->modifiers(), QString(QChar(static_cast<char16_t>(now))));
    replaying_key_ = true;
    QApplication::sendEvent(widget_, &replaced);
    replaying_key_ = false;
    return true;
  }
  return swallowed;
}

bool QtControl::on_event(QObject* watched, QEvent* event) {
  if (watched != widget_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      pressed_inside_ = true;
      QPointF p = to_event_units(me->position());
      std::vector<Variant> a{Variant(button_code(me->button())), Variant(shift_code(me->modifiers())),
                             Variant(static_cast<float>(p.x())), Variant(static_cast<float>(p.y()))};
      raise_event(u"MouseDown", a);
      return false;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      QPointF p = to_event_units(me->position());
      std::vector<Variant> a{Variant(button_code(me->button())), Variant(shift_code(me->modifiers())),
                             Variant(static_cast<float>(p.x())), Variant(static_cast<float>(p.y()))};
      bool inside = pressed_inside_ && widget_->rect().contains(me->position().toPoint());
      pressed_inside_ = false;
      raise_event(u"MouseUp", a);
      if (inside && click_on_release() && !destroyed() && me->button() == Qt::LeftButton) raise_event(u"Click");
      return false;
    }
    case QEvent::MouseButtonDblClick:
      raise_event(u"DblClick");
      return false;
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      QPointF p = to_event_units(me->position());
      std::vector<Variant> a{Variant(button_code(me->buttons())), Variant(shift_code(me->modifiers())),
                             Variant(static_cast<float>(p.x())), Variant(static_cast<float>(p.y()))};
      raise_event(u"MouseMove", a);
      return false;
    }
    case QEvent::KeyPress:
      return key_press(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(event);
      if (ke->isAutoRepeat()) return false;
      std::vector<Variant> up{Variant(key_code(ke->key())), Variant(shift_code(ke->modifiers()))};
      raise_event(u"KeyUp", up);
      return false;
    }
    case QEvent::FocusIn:
      raise_event(u"GotFocus");
      return false;
    case QEvent::FocusOut:
      raise_event(u"LostFocus");
      return false;
    default:
      return false;
  }
}

QColor to_qcolor(int32_t color) {
  if (color < 0 && (static_cast<uint32_t>(color) & 0xFF000000u) == 0x80000000u) {
    // System colours: the entries of the platform's table that scripts use, from the palette.
    QPalette p = QApplication::palette();
    switch (color & 0xFF) {
      case 5: return p.color(QPalette::Base);             // window background
      case 8: return p.color(QPalette::Text);             // window text
      case 15: return p.color(QPalette::Button);          // button face
      case 18: return p.color(QPalette::ButtonText);
      case 13: return p.color(QPalette::Highlight);
      case 14: return p.color(QPalette::HighlightedText);
      case 16: return p.color(QPalette::Dark);            // button shadow
      case 20: return p.color(QPalette::Light);
      case 17: return p.color(QPalette::PlaceholderText);  // grey text
      case 24: return p.color(QPalette::ToolTipBase);
      case 23: return p.color(QPalette::ToolTipText);
      default: return p.color(QPalette::Window);
    }
  }
  uint32_t c = static_cast<uint32_t>(color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t from_qcolor(const QColor& c) {
  return static_cast<int32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

namespace common_detail {

void set_color_role(QWidget* w, QPalette::ColorRole role, int32_t color) {
  QPalette p = w->palette();
  QColor c = to_qcolor(color);
  p.setColor(role, c);
  if (role == QPalette::Window) {
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Button, c);
    w->setAutoFillBackground(true);
  } else if (role == QPalette::WindowText) {
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
  }
  w->setPalette(p);
  w->update();
}

int32_t color_role(const QWidget* w, QPalette::ColorRole role) { return from_qcolor(w->palette().color(role)); }

void set_mouse_pointer(QWidget* w, int16_t pointer) {
  static const Qt::CursorShape shapes[] = {
      Qt::ArrowCursor, Qt::ArrowCursor, Qt::CrossCursor, Qt::IBeamCursor, Qt::ArrowCursor, Qt::SizeAllCursor,
      Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,
      Qt::WaitCursor, Qt::ForbiddenCursor, Qt::BusyCursor, Qt::WhatsThisCursor, Qt::SizeAllCursor};
  if (pointer < 0 || (pointer > 15 && pointer != 99)) raise(380);
  w->setProperty("quazel_pointer", static_cast<int>(pointer));
  if (pointer == 0) w->unsetCursor();
  else if (pointer != 99) w->setCursor(shapes[pointer]);
}

int16_t mouse_pointer(const QWidget* w) {
  QVariant v = w->property("quazel_pointer");
  return v.isValid() ? static_cast<int16_t>(v.toInt()) : int16_t{0};
}

void bring_to_front(QtControl& c, bool back) {
  if (back) c.widget()->lower();
  else c.widget()->raise();
}

}  // namespace common_detail

}  // namespace qz
