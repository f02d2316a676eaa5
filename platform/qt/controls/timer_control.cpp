// Timers: a control with no window of its own on screen that raises Timer once per elapsed
// Interval while Enabled. The ticks come from the engine's event loop (the same clock as the
// script timers), so a form's timer keeps a script alive like any other timer and a tick never
// runs inside another tick of itself.
#include <QWidget>

#include "platform/event_loop.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/gui_application.h"

namespace qz {

namespace {

class TimerControl final : public NativeObject<TimerControl, QtControl> {
 public:
  static void define(Members<TimerControl>& m) {
    m.getter(u"Name", [](TimerControl& c, Args) { return Variant(std::u16string(c.kind())); });
    m.getter(u"Index", [](TimerControl& c, Args) { return Variant(c.index()); });
    m.property(u"Tag", [](TimerControl& c, Args) { return Variant(to_str(c.tag)); },
               [](TimerControl& c, Args, const Variant& v) { c.tag = Variant(to_str(v)); });
    m.getter(u"Parent", [](TimerControl& c, Args) {
      return c.parent_object.is_empty() ? Variant::nothing() : c.parent_object;
    });
    m.property(u"Enabled", [](TimerControl& c, Args) { c.check_alive(); return Variant(c.enabled_); },
               [](TimerControl& c, Args, const Variant& v) {
                 c.check_alive();
                 c.enabled_ = to_bool(v);
                 c.restart();
               });
    m.property(u"Interval", [](TimerControl& c, Args) { c.check_alive(); return Variant(c.interval_); },
               [](TimerControl& c, Args, const Variant& v) {
                 c.check_alive();
                 int32_t ms = to_long(v);
                 if (ms < 0 || ms > 65535) raise(380);  // Invalid property value
                 c.interval_ = ms;
                 c.restart();
               });
    m.default_member(u"Enabled");
  }
  std::u16string type_name() const override { return u"Timer"; }

  TimerControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<TimerControl, QtControl>(kind, index) {
    // A window that is never shown: the control still has a handle like every other one.
    auto* w = new QWidget(parent);
    w->hide();
    attach(w);
  }
  ~TimerControl() override { stop(); }

  void destroy() override {
    stop();
    QtControl::destroy();
  }
  bool visible() const override { return false; }
  void copy_settings_from(QtControl& model) override {
    if (auto* m = dynamic_cast<TimerControl*>(&model)) {
      interval_ = m->interval_;
      enabled_ = m->enabled_;
      restart();
    }
  }

 private:
  // Setting Enabled or Interval starts the count again from zero.
  void restart() {
    stop();
    EventLoop* loop = gui_event_loop();
    if (!enabled_ || interval_ == 0 || !loop || destroyed()) return;
    timer_ = loop->set_timer(static_cast<uint32_t>(interval_), [this] { tick(); });
  }
  void stop() {
    if (timer_ == 0) return;
    if (EventLoop* loop = gui_event_loop()) loop->kill_timer(timer_);
    timer_ = 0;
  }
  void tick() {
    if (destroyed()) return stop();
    Ref<TimerControl> keep(this);
    raise_event(u"Timer");
  }

  int32_t interval_ = 0;
  bool enabled_ = false;
  EventLoop::TimerId timer_ = 0;
};

}  // namespace

Ref<QtControl> make_timer_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new TimerControl(kind, index, parent));
}

}  // namespace qz
