// What every window of the toolkit shares: a Qt widget, a handle from the window table, the
// control-array index, the listener that runs script procedures, and the raising of events by
// their table name. Each control kind derives from this with its own widget, members and the
// Qt happenings that raise its events (one small adapter per kind).
#pragma once
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "com/object.h"
#include "platform/window/event_tables.h"
#include "platform/window/window_system.h"

class QKeyEvent;
class QMouseEvent;

namespace qz {

class QtControl;

// Hands a widget's Qt events to its control.
class EventRelay final : public QObject {
 public:
  explicit EventRelay(QtControl* control) : control_(control) {}
  bool eventFilter(QObject* watched, QEvent* event) override;
  QtControl* control_;
};

class QtControl : public ToolkitWindow {
 public:
  QtControl(std::u16string_view kind, int16_t index);
  ~QtControl() override;

  // ToolkitWindow
  WindowHandle handle() const override { return handle_; }
  std::u16string_view kind() const override { return kind_; }
  void set_listener(WindowListener listener) override { listener_ = std::move(listener); }
  void set_parent_object(Object* owner) override { parent_object = owner ? Variant(owner) : Variant(); }
  void destroy() override;
  bool destroyed() const override { return widget_.isNull(); }
  bool visible() const override { return widget_ && !widget_->isHidden(); }

  QWidget* widget() const { return widget_.data(); }
  int16_t index() const { return index_; }
  // Raises 364 ("Object was unloaded") once the window is gone.
  void check_alive() const;
  // The script object that owns this control (the form), for Parent.
  Variant parent_object;
  Variant tag;  // Tag: any text the script keeps with the control

  // Raises an event by its table name with raw values: they are converted to the table's
  // argument types, handed to the listener, and left in `args` as the procedure left them.
  // False when nothing ran (no listener, no such event, no procedure).
  bool raise_event(std::u16string_view name, std::vector<Variant>& args, Variant* result = nullptr);
  bool raise_event(std::u16string_view name);

  // Geometry in twips, relative to the client area of the parent (screen for a top-level form).
  QRect twips_rect() const;
  void set_twips_rect(const QRect& r);
  // The coordinates a mouse event gives the script: twips, or the scale of a form or picture box.
  virtual QPointF to_event_units(QPointF pixels) const;

  // Starts a new element with element 0's settings (geometry, looks, kind settings).
  virtual void copy_settings_from(QtControl& model);

  // The control this one sits on (a form, frame or picture box); nullptr for a form.
  QtControl* container() const;
  void set_container(QtControl* c);

  // Mouse and key events of the widget raise the table's events: MouseDown, MouseUp, Click,
  // DblClick, MouseMove, KeyDown, KeyPress (a key code set to 0 swallows the key, a changed
  // one types that character), KeyUp, GotFocus, LostFocus. Kinds override for their own.
  virtual bool on_event(QObject* watched, QEvent* event);
  // False for kinds whose Click comes from a signal of their widget rather than a release.
  virtual bool click_on_release() const { return true; }

  static int16_t button_code(Qt::MouseButtons b);
  static int16_t shift_code(Qt::KeyboardModifiers m);
  // The platform's key code of a Qt key (letters and digits as their upper-case codes).
  static int16_t key_code(int qt_key);

  // The top-level window this control is on (the form); itself for a form.
  QtControl* form_control() const;
  // Asks the form object about a switch of its own (its listener answers in the result):
  // "HoverTracking" (arg: the kind) for NoOverOut*, "MoveWithMouse" for NoMoveMouse,
  // "KeyPreview". Empty when nobody answers.
  Variant ask_form(std::u16string_view question, const Variant& arg = Variant()) const;

  // Pointer capture: while a control holds it, every pointer move goes to that control (as
  // moves relative to it), wherever the pointer is; presses and releases still go to the control
  // under the pointer. Releasing drops it whoever holds it.
  static void set_capture(QtControl* c);
  static void release_capture();
  static QtControl* capture_holder();

  // Script coordinates of a mouse event back to pixels of the widget, per axis.
  QPointF from_event_units(QPointF units) const;

  // Drag and drop between controls: DragMode 1 starts a drag on a left press; Drag 1 starts
  // one, Drag 2 drops, Drag 0 cancels. The target under the pointer raises DragOver (State 0
  // entering, 1 leaving, 2 over) and DragDrop, with the source control.
  int16_t drag_mode = 0;
  Variant drag_icon;
  void begin_drag();
  static void end_drag(bool drop);

  // Set while a subscription watches this window's messages (AttachMsg).
  bool messages_watched = false;

 protected:
  // Takes the widget (a child of `parent` or top-level), registers the handle and relays events.
  void attach(QWidget* widget);
  bool has_event(std::u16string_view name) const;
  // KeyPress handling shared by text-taking widgets: returns true when the key was swallowed
  // or replaced.
  bool key_press(QKeyEvent* e);

  std::u16string kind_;
  int16_t index_;
  WindowHandle handle_ = 0;
  QPointer<QWidget> widget_;
  EventRelay relay_{this};
  WindowListener listener_;
  const EventTable* events_ = nullptr;
  bool pressed_inside_ = false;
  bool replaying_key_ = false;

 private:
  // Command buttons, frames and picture boxes report the pointer entering and leaving them.
  bool hover_tracked() const;
  void track_hover(std::vector<Variant>& mouse_args);
  void untrack_on_release();
  // A left press on the form's client area moves the window with the pointer.
  void start_window_move(QMouseEvent* e);
  std::vector<Variant> mouse_args(QMouseEvent* e, bool held_buttons);
  void raise_key_event(std::u16string_view name, std::vector<Variant>& args, bool preview);
  bool moving_window_ = false;
  QPointF move_grab_;
  // The window's rectangle in pixels of its parent's client area (the screen for a form).
  QRect pixel_rect() const;
  // The last rectangle the script set, and the pixels it became.
  QRect twips_set_;
  QRect pixels_set_{0, 0, -1, -1};
};

// True when a control on `w` can take the keyboard focus (visible, enabled, focusable).
bool has_focusable_child(const QWidget* w);

// The platform's colours are 0x00BBGGRR; system colours (0x800000nn) come from the palette.
QColor to_qcolor(int32_t color);
int32_t from_qcolor(const QColor& c);

// The members every visible control answers to. T derives from NativeObject<T, QtControl>.
template <class T>
void define_common_members(Members<T>& m);

}  // namespace qz

#include "platform/qt/common_members.inl"
