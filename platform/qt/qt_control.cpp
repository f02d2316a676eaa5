#include "platform/qt/qt_control.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <cstdlib>

#include "com/convert.h"
#include "com/str.h"

#include "platform/qt/window_messages.h"
#include "platform/qt/window_table.h"
#include "platform/window/window_messages.h"

namespace qz {

namespace {
constexpr int kObjectUnloaded = 364;
constexpr const char* kClientTop = "quazel_client_top";  // height of a form's menu bar

// Pixels above a form's client area (its menu bar).
int client_top(const QWidget* w) {
  QVariant v = w ? w->property(kClientTop) : QVariant();
  return v.isValid() ? v.toInt() : 0;
}

// Where a container's client area starts inside its widget: below a form's menu bar, inside a
// picture box's border. Positions of the controls on it count from there.
constexpr const char* kClientLeft = "quazel_client_left";
QPoint client_origin(const QWidget* w) {
  QVariant left = w ? w->property(kClientLeft) : QVariant();
  return {left.isValid() ? left.toInt() : 0, client_top(w)};
}

WindowHandle g_capture = 0;      // the control holding the pointer capture
WindowHandle g_drag_source = 0;  // the control being dragged
WindowHandle g_drag_target = 0;  // the control the dragged one is over
QPoint g_last_pointer;           // where the last routed move was, on the screen
bool g_pointer_known = false;

// A text read as a number: its leading numeric part; 0 when it does not begin with one.
double leading_number(const std::u16string& text) {
  std::string ascii;
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  for (; i < text.size() && text[i] < 128; ++i) ascii.push_back(static_cast<char>(text[i]));
  char* end = nullptr;
  double d = std::strtod(ascii.c_str(), &end);
  return end == ascii.c_str() ? 0.0 : d;
}

// The control under a screen point (the innermost one with a handle); nullptr off every window.
QtControl* control_at(QPoint global, QWidget* fallback_top) {
  QWidget* top = QApplication::topLevelAt(global);
  if (!top) top = fallback_top;
  if (!top) return nullptr;
  QPoint local = top->mapFromGlobal(global);
  QWidget* w = top->childAt(local);
  if (!w && top->rect().contains(local)) w = top;
  for (; w; w = w->parentWidget()) {
    QVariant h = w->property("quazel_handle");
    if (h.isValid())
      if (QtControl* c = find_window(h.toInt())) return c;
  }
  return nullptr;
}

void raise_drag_over(QtControl* target, QtControl* source, QPoint global, int16_t state) {
  if (!target || !target->widget()) return;
  QPointF local = target->widget()->mapFromGlobal(QPointF(global));
  QPointF p = target->to_event_units(local - QPointF(0, target->widget()->isWindow() ? client_top(target->widget()) : 0));
  std::vector<Variant> a{Variant(static_cast<Object*>(source)), Variant(static_cast<float>(p.x())),
                         Variant(static_cast<float>(p.y())), Variant(state)};
  target->raise_event(u"DragOver", a);
}

// Routes pointer moves to the capture holder and runs the drags, for every widget of the
// process. Presses are never routed: a control inside a captured frame stays clickable.
class PointerRouter final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!g_capture && !g_drag_source) return false;
    if (!watched->isWidgetType() || QApplication::activePopupWidget()) return false;
    try {
      switch (event->type()) {
        case QEvent::MouseMove: return routed_move(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
          if (!g_drag_source) return false;
          g_last_pointer = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
          g_pointer_known = true;
          QtControl::end_drag(true);
          return true;
        case QEvent::Leave: {
          // The pointer has left a window: the holder hears where it went.
          QtControl* holder = QtControl::capture_holder();
          if (!holder || watched != holder->widget()->window() || g_drag_source) return false;
          QPointF global = QCursor::pos();
          QMouseEvent moved(QEvent::MouseMove, holder->widget()->mapFromGlobal(global), global, Qt::NoButton,
                            QApplication::mouseButtons(), QApplication::keyboardModifiers());
          Ref<QtControl> keep(holder);
          holder->on_event(holder->widget(), &moved);
          return false;
        }
        default: return false;
      }
    } catch (...) {
      return false;
    }
  }

 private:
  bool routed_move(QWidget* receiver, QMouseEvent* e) {
    QPoint global = e->globalPosition().toPoint();
    g_last_pointer = global;
    g_pointer_known = true;
    if (g_drag_source) {
      QtControl* source = find_window(g_drag_source);
      if (!source || !source->widget()) {
        g_drag_source = g_drag_target = 0;
        return false;
      }
      Ref<QtControl> keep(source);
      QtControl* target = control_at(global, source->widget()->window());
      WindowHandle now = target ? target->handle() : 0;
      if (now != g_drag_target) {
        if (QtControl* left = find_window(g_drag_target)) raise_drag_over(left, source, global, 1);
        g_drag_target = now;
        raise_drag_over(target, source, global, 0);
      } else {
        raise_drag_over(target, source, global, 2);
      }
      return true;
    }
    QtControl* holder = QtControl::capture_holder();
    if (!holder) return false;
    // Over the holder itself the move is the holder's own (and one that Qt hands on to the
    // holder's parents afterwards must not come back to it a second time).
    QWidget* own = holder->widget();
    if ((receiver == own || receiver->isAncestorOf(own)) && own->rect().contains(own->mapFromGlobal(global)))
      return false;
    QMouseEvent moved(QEvent::MouseMove, holder->widget()->mapFromGlobal(e->globalPosition()), e->globalPosition(),
                      e->button(), e->buttons(), e->modifiers());
    Ref<QtControl> keep(holder);
    holder->on_event(holder->widget(), &moved);
    return true;
  }
};

void install_pointer_router() {
  static PointerRouter* router = nullptr;
  if (router || !qApp) return;
  router = new PointerRouter();
  qApp->installEventFilter(router);
}

}  // namespace

bool EventRelay::eventFilter(QObject* watched, QEvent* event) {
  if (!control_ || control_->destroyed()) return false;
  // A control still being built is held by no one yet: holding and dropping it here would
  // free it, and nothing can run script code for it before its maker returns.
  if (control_->ref_count() == 0) return false;
  Ref<QtControl> keep(control_);  // a procedure may unload the control inside its own event
  try {
    if (control_->messages_watched && watched == control_->widget()) {
      send_event_messages(*control_, event);
      if (control_->destroyed()) return true;
    }
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
  widget->setAttribute(Qt::WA_DeleteOnClose, false);
  // Each control is a window of its own: the pointer's events stay with it, never reaching the
  // form or frame underneath (kinds that let the pointer through say so on their widget).
  widget->setAttribute(Qt::WA_NoMousePropagation, true);
  // Every control reports pointer moves, pressed or not. Set before the relay is installed:
  // the change sends an event, and the control may not be held by anyone yet.
  widget->setMouseTracking(true);
  widget->installEventFilter(&relay_);
}

void QtControl::destroy() {
  if (handle_ && messages_watched) {
    // The subscriptions on this window hear it go, and then go with it.
    messages_watched = false;
    send_window_message({handle_, wm::kDestroy, 0, 0});
  }
  if (handle_ == g_capture) g_capture = 0;
  if (handle_ == g_drag_source) g_drag_source = g_drag_target = 0;
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

QRect QtControl::pixel_rect() const {
  QRect g = widget_->isWindow() ? widget_->frameGeometry() : widget_->geometry();
  if (!widget_->isWindow()) g.translate(-client_origin(widget_->parentWidget()));
  return g;
}

QRect QtControl::twips_rect() const {
  if (!widget_) return {};
  QRect g = pixel_rect();
  // What the script set reads back as it was set while the window still has the pixels it was
  // given; once it moved or resized by other means, its pixels are what counts.
  if (g == pixels_set_) return twips_set_;
  return {g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel, g.height() * kTwipsPerPixel};
}

void QtControl::set_twips_rect(const QRect& r) {
  if (!widget_) return;
  auto px = [](int t) { return static_cast<int>(std::lround(t / static_cast<double>(kTwipsPerPixel))); };
  // Remembered before the move: a Resize procedure may answer with a size of its own.
  twips_set_ = r;
  if (widget_->isWindow()) {
    pixels_set_ = QRect(px(r.x()), px(r.y()), std::max(1, px(r.width())), std::max(1, px(r.height())));
    widget_->move(pixels_set_.topLeft());
    widget_->resize(pixels_set_.size());
  } else {
    pixels_set_ = QRect(px(r.x()), px(r.y()), std::max(0, px(r.width())), std::max(0, px(r.height())));
    widget_->setGeometry(pixels_set_.translated(client_origin(widget_->parentWidget())));
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

QtControl* QtControl::form_control() const {
  if (!widget_) return nullptr;
  QWidget* top = widget_->window();
  QVariant h = top ? top->property("quazel_handle") : QVariant();
  return h.isValid() ? find_window(h.toInt()) : nullptr;
}

Variant QtControl::ask_form(std::u16string_view question, const Variant& arg) const {
  QtControl* form = form_control();
  if (!form || !form->listener_) return Variant();
  Variant value = arg;
  WindowEvent e;
  e.name = question;
  e.args = &value;
  e.count = 1;
  Ref<QtControl> keep(form);
  WindowListener listener = form->listener_;
  try {
    listener(e);
  } catch (...) {
    return Variant();
  }
  return e.result;
}

void QtControl::set_capture(QtControl* c) {
  install_pointer_router();
  g_capture = c ? c->handle() : 0;
}

void QtControl::release_capture() { g_capture = 0; }

QtControl* QtControl::capture_holder() {
  QtControl* c = g_capture ? find_window(g_capture) : nullptr;
  if (!c || !c->widget()) g_capture = 0;
  return g_capture ? c : nullptr;
}

QPointF QtControl::from_event_units(QPointF units) const {
  // to_event_units is affine on each axis (any ScaleMode, user scales too): invert it from
  // two points.
  QPointF origin = to_event_units(QPointF(0, 0));
  QPointF unit = to_event_units(QPointF(1, 1)) - origin;
  auto back = [](double u, double o, double per_pixel) { return per_pixel == 0 ? 0.0 : (u - o) / per_pixel; };
  return {back(units.x(), origin.x(), unit.x()), back(units.y(), origin.y(), unit.y())};
}

bool QtControl::hover_tracked() const {
  if (!widget_ || widget_->isWindow()) return false;
  return iequals(kind_, u"Command") || iequals(kind_, u"Frame") || iequals(kind_, u"Pic");
}

// After the element's MouseMove procedure: the switch, the position as the procedure left it,
// the size and the Tag mark are read anew for every move.
void QtControl::track_hover(std::vector<Variant>& a) {
  if (!to_bool(ask_form(u"HoverTracking", Variant(kind_))) || destroyed()) return;
  float x = 0, y = 0;
  try {
    x = to_single(a[2]);
    y = to_single(a[3]);
  } catch (...) {
    return;
  }
  // The test is made in the element's own pixels, each axis converted from the element's
  // scale on its own, so it holds for every ScaleMode.
  QPointF p = from_event_units(QPointF(x, y));
  float px = static_cast<float>(p.x()), py = static_cast<float>(p.y());
  bool outside = px < 0 || py < 0 || px > widget_->width() || py > widget_->height();
  if (outside) {
    release_capture();
    tag = Variant(u"0");
    raise_event(u"Out", a);
    return;
  }
  double mark = 0;
  try {
    mark = leading_number(to_u16(tag));
  } catch (...) {
  }
  if (mark != 0) return;
  set_capture(this);
  tag = Variant(u"1");
  raise_event(u"Over", a);
}

void QtControl::untrack_on_release() {
  if (!hover_tracked() || !to_bool(ask_form(u"HoverTracking", Variant(kind_))) || destroyed()) return;
  // Only its own capture: a frame that holds it for the pointer over a button inside it keeps
  // it when the button is clicked.
  if (g_capture == handle_) release_capture();
  tag = Variant(u"0");
}

void QtControl::start_window_move(QMouseEvent* e) {
  release_capture();
  QWindow* handle = widget_->windowHandle();
  if (handle && handle->startSystemMove()) return;
  // Without a window manager that moves windows (the offscreen platform), the window follows
  // the pointer itself until the button is released.
  moving_window_ = true;
  move_grab_ = e->globalPosition() - QPointF(widget_->pos());
}

std::vector<Variant> QtControl::mouse_args(QMouseEvent* e, bool held_buttons) {
  QPointF pos = e->position();
  if (widget_->isWindow()) pos.ry() -= client_top(widget_);
  QPointF p = to_event_units(pos);
  return {Variant(button_code(held_buttons ? e->buttons() : Qt::MouseButtons(e->button()))),
          Variant(shift_code(e->modifiers())), Variant(static_cast<float>(p.x())), Variant(static_cast<float>(p.y()))};
}

// With the form's KeyPreview on, the form's key procedure runs first and sees the arguments
// first; a key code or character it sets to 0 never reaches the control.
void QtControl::raise_key_event(std::u16string_view name, std::vector<Variant>& args, bool preview) {
  if (preview) {
    if (QtControl* form = form_control(); form && form != this) {
      Ref<QtControl> keep_form(form);
      form->raise_event(name, args);
      if (destroyed()) return;
      try {
        if (to_long(args[0]) == 0) return;
      } catch (...) {
      }
    }
  }
  raise_event(name, args);
}

void QtControl::begin_drag() {
  install_pointer_router();
  g_capture = 0;
  g_drag_source = handle_;
  g_drag_target = 0;
  // The move cursor stands for the drag icon while the pointer carries the control.
  QApplication::setOverrideCursor(QCursor(Qt::DragMoveCursor));
}

void QtControl::end_drag(bool drop) {
  if (!g_drag_source) return;
  Ref<QtControl> source(find_window(g_drag_source));
  WindowHandle over = g_drag_target;
  g_drag_source = g_drag_target = 0;
  QApplication::restoreOverrideCursor();
  if (!source || !source->widget()) return;
  QPoint global = g_pointer_known ? g_last_pointer : QCursor::pos();
  QtControl* target = drop ? control_at(global, source->widget()->window()) : find_window(over);
  if (!target || !target->widget()) return;
  Ref<QtControl> keep(target);
  if (!drop) {
    raise_drag_over(target, source.get(), global, 1);
    return;
  }
  QPointF local = target->widget()->mapFromGlobal(QPointF(global));
  if (target->widget()->isWindow()) local.ry() -= client_top(target->widget());
  QPointF p = target->to_event_units(local);
  std::vector<Variant> a{Variant(static_cast<Object*>(source.get())), Variant(static_cast<float>(p.x())),
                         Variant(static_cast<float>(p.y()))};
  target->raise_event(u"DragDrop", a);
}

namespace {
// A key event that a control has handled; Qt hands an event the control's widget ignores on to
// the form's window, which must not raise the form's key events for it a second time.
const QEvent* g_key_handled = nullptr;
quint64 g_key_handled_time = 0;

bool handled_by_a_control(QtControl& c, QKeyEvent* e) {
  if (!c.widget()->isWindow()) {
    g_key_handled = e;
    g_key_handled_time = e->timestamp();
    return false;
  }
  return g_key_handled == e && g_key_handled_time == e->timestamp();
}
}  // namespace

bool QtControl::key_press(QKeyEvent* e) {
  if (replaying_key_ || handled_by_a_control(*this, e)) return false;
  bool preview = !widget_->isWindow() && to_bool(ask_form(u"KeyPreview"));
  if (destroyed()) return true;
  std::vector<Variant> down{Variant(key_code(e->key())), Variant(shift_code(e->modifiers()))};
  raise_key_event(u"KeyDown", down, preview);
  if (destroyed()) return true;
  bool swallowed = to_long(down[0]) == 0;
  QString text = e->text();
  if (text.isEmpty() || (!text[0].isPrint() && text[0] != QChar(8) && text[0] != QChar(13) && text[0] != QChar(27))) {
    return swallowed;
  }
  char16_t ch = text[0].unicode();
  std::vector<Variant> press{Variant(static_cast<int16_t>(ch))};
  raise_key_event(u"KeyPress", press, preview);
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
      if (drag_mode == 1 && me->button() == Qt::LeftButton && !widget_->isWindow()) {
        begin_drag();  // an automatic drag: the press is the drag's, the control sees no click
        return true;
      }
      pressed_inside_ = true;
      std::vector<Variant> a = mouse_args(me, false);
      raise_event(u"MouseDown", a);
      if (destroyed()) return true;
      if (widget_->isWindow()) {
        int16_t button = 0;
        try { button = to_integer(a[0]); } catch (...) {}
        if (button == 1 && to_bool(ask_form(u"MoveWithMouse")) && !destroyed()) start_window_move(me);
      }
      return false;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (moving_window_) {
        moving_window_ = false;
        return true;
      }
      std::vector<Variant> a = mouse_args(me, false);
      bool inside = pressed_inside_ && widget_->rect().contains(me->position().toPoint());
      pressed_inside_ = false;
      if (hover_tracked()) untrack_on_release();
      if (destroyed()) return true;
      raise_event(u"MouseUp", a);
      if (inside && click_on_release() && !destroyed() && me->button() == Qt::LeftButton) raise_event(u"Click");
      return false;
    }
    case QEvent::MouseButtonDblClick:
      raise_event(u"DblClick");
      return false;
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (moving_window_) {
        if (me->buttons() & Qt::LeftButton) widget_->move((me->globalPosition() - move_grab_).toPoint());
        else moving_window_ = false;
        return true;
      }
      std::vector<Variant> a = mouse_args(me, true);
      raise_event(u"MouseMove", a);
      if (hover_tracked() && !destroyed()) track_hover(a);
      return false;
    }
    case QEvent::KeyPress:
      return key_press(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(event);
      if (ke->isAutoRepeat() || handled_by_a_control(*this, ke)) return false;
      bool preview = !widget_->isWindow() && to_bool(ask_form(u"KeyPreview"));
      std::vector<Variant> up{Variant(key_code(ke->key())), Variant(shift_code(ke->modifiers()))};
      raise_key_event(u"KeyUp", up, preview);
      return false;
    }
    case QEvent::FocusIn:
      raise_event(u"GotFocus");
      return false;
    case QEvent::FocusOut:
      raise_event(u"LostFocus");
      return false;
    // A form takes the focus itself only while none of its controls can: then its activation
    // is its GotFocus and LostFocus, and the keys come to it.
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      if (widget_->isWindow() && !has_focusable_child(widget_))
        raise_event(event->type() == QEvent::WindowActivate ? u"GotFocus" : u"LostFocus");
      return false;
    default:
      return false;
  }
}

bool has_focusable_child(const QWidget* w) {
  for (const QWidget* child : w->findChildren<QWidget*>())
    if (child->focusPolicy() != Qt::NoFocus && child->isVisibleTo(w) && child->isEnabled()) return true;
  return false;
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
