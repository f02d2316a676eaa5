// Scroll bars, horizontal and vertical: a Value between Min and Max (Min may be the larger one:
// the bar then counts down from its left or top end), moved by SmallChange with the arrows and
// LargeChange with a click beside the thumb. Change follows every new Value, the script's too;
// Scroll reports the thumb while it is dragged, and Change comes when it is let go.
#include <QKeyEvent>
#include <QScrollBar>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/list_items.h"

namespace qz {

namespace {

using list_items::invalid_value;

class ScrollBar final : public NativeObject<ScrollBar, QtControl> {
 public:
  static void define(Members<ScrollBar>& m) {
    define_common_members(m);
    m.property(u"Value", [](ScrollBar& c, Args) { c.check_alive(); return Variant(c.value()); },
               [](ScrollBar& c, Args, const Variant& v) {
                 c.check_alive();
                 int16_t value = to_integer(v);
                 if (value < std::min(c.min_, c.max_) || value > std::max(c.min_, c.max_)) invalid_value();
                 c.set_value(value);
               });
    m.property(u"Min", [](ScrollBar& c, Args) { c.check_alive(); return Variant(c.min_); },
               [](ScrollBar& c, Args, const Variant& v) {
                 c.check_alive();
                 c.set_range(to_integer(v), c.max_);
               });
    m.property(u"Max", [](ScrollBar& c, Args) { c.check_alive(); return Variant(c.max_); },
               [](ScrollBar& c, Args, const Variant& v) {
                 c.check_alive();
                 c.set_range(c.min_, to_integer(v));
               });
    m.property(u"SmallChange", [](ScrollBar& c, Args) { c.check_alive(); return Variant(c.step(false)); },
               [](ScrollBar& c, Args, const Variant& v) {
                 c.check_alive();
                 c.bar()->setSingleStep(change_value(v));
               });
    m.property(u"LargeChange", [](ScrollBar& c, Args) { c.check_alive(); return Variant(c.step(true)); },
               [](ScrollBar& c, Args, const Variant& v) {
                 c.check_alive();
                 c.bar()->setPageStep(change_value(v));
               });
    m.default_member(u"Value");
  }
  std::u16string type_name() const override {
    return iequals(kind(), u"VScroll") ? u"VScrollBar" : u"HScrollBar";
  }

  ScrollBar(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ScrollBar, QtControl>(kind, index) {
    auto* b = bar_ = new QScrollBar(iequals(kind, u"VScroll") ? Qt::Vertical : Qt::Horizontal, parent);
    b->setFocusPolicy(Qt::StrongFocus);
    // The value follows the thumb only when it is let go: one Change per drag.
    b->setTracking(false);
    b->setSingleStep(1);
    b->setPageStep(1);
    QObject::connect(b, &QScrollBar::valueChanged, [this] {
      if (!quiet_) fire(u"Change");
    });
    QObject::connect(b, &QScrollBar::sliderMoved, [this] {
      if (!quiet_) fire(u"Scroll");
    });
    set_range(0, 32767);
    attach(b);  // last: while nobody holds the control, none of its widget's events may reach it
  }

  QScrollBar* bar() const { return bar_; }

  // The arrow keys move towards the arrow's end, the page keys by LargeChange, Home and End to
  // Min and Max, after KeyDown (a key code the procedure sets to 0 moves nothing).
  bool on_event(QObject* watched, QEvent* event) override {
    bool swallowed = QtControl::on_event(watched, event);
    if (watched != widget() || event->type() != QEvent::KeyPress) return swallowed;
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Left: case Qt::Key_Up: action = QAbstractSlider::SliderSingleStepSub; break;
      case Qt::Key_Right: case Qt::Key_Down: action = QAbstractSlider::SliderSingleStepAdd; break;
      case Qt::Key_PageUp: action = QAbstractSlider::SliderPageStepSub; break;
      case Qt::Key_PageDown: action = QAbstractSlider::SliderPageStepAdd; break;
      case Qt::Key_Home: action = QAbstractSlider::SliderToMinimum; break;
      case Qt::Key_End: action = QAbstractSlider::SliderToMaximum; break;
      default: return swallowed;
    }
    if (!swallowed && !destroyed()) bar_->triggerAction(action);
    return true;
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<ScrollBar*>(&model);
    if (!m || m->destroyed()) return;
    list_items::ScopedFlag q(quiet_);
    set_range(m->min_, m->max_);
    bar()->setValue(position(m->value()));
    bar()->setSingleStep(m->bar()->singleStep());
    bar()->setPageStep(m->bar()->pageStep());
  }

 private:
  static int change_value(const Variant& v) {
    int16_t n = to_integer(v);
    if (n < 1) invalid_value();
    return n;
  }
  int16_t step(bool large) const { return static_cast<int16_t>(large ? bar()->pageStep() : bar()->singleStep()); }

  // The widget counts 0..|Max - Min| from the left or top end, where Min is.
  int position(int value) const { return min_ <= max_ ? value - min_ : min_ - value; }
  // The thumb's place while it is dragged, the value otherwise.
  int16_t value() const {
    int p = bar()->sliderPosition();
    return static_cast<int16_t>(min_ <= max_ ? min_ + p : min_ - p);
  }
  void set_value(int16_t v) {
    if (v == value()) return;
    {
      list_items::ScopedFlag q(quiet_);
      bar()->setValue(position(v));
    }
    fire(u"Change");
  }
  // A new range keeps the value where it can, or brings it to the nearer end (with Change).
  void set_range(int16_t lo, int16_t hi) {
    int16_t before = value();
    int16_t now = std::clamp(before, std::min(lo, hi), std::max(lo, hi));
    {
      list_items::ScopedFlag q(quiet_);
      min_ = lo;
      max_ = hi;
      bar()->setRange(0, std::abs(hi - lo));
      bar()->setValue(position(now));
    }
    if (now != before) fire(u"Change");
  }
  void fire(std::u16string_view event) {
    if (destroyed()) return;
    Ref<ScrollBar> keep(this);
    raise_event(event);
  }

  QScrollBar* bar_;
  int16_t min_ = 0;
  int16_t max_ = 0;
  bool quiet_ = false;
};

}  // namespace

Ref<QtControl> make_scroll_bar(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ScrollBar(kind, index, parent));
}

}  // namespace qz
