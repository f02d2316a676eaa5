// Line controls: a straight line from (X1, Y1) to (X2, Y2), in twips of the container, drawn
// with BorderColor, BorderWidth and BorderStyle. The window is the line's bounding box with
// room for the pen; like a shape, a line raises no events and lets the pointer through.
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/qt/canvas.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/painted_widget.h"

namespace qz {

namespace {

class LineControl final : public NativeObject<LineControl, QtControl> {
 public:
  static void define(Members<LineControl>& m) {
    define_common_members(m);
    int32_t LineControl::*ends[] = {&LineControl::x1_, &LineControl::y1_, &LineControl::x2_, &LineControl::y2_};
    const char16_t* names[] = {u"X1", u"Y1", u"X2", u"Y2"};
    for (int i = 0; i < 4; ++i) {
      auto field = ends[i];
      m.property(names[i], [field](LineControl& c, Args) {
        c.check_alive();
        return Variant(static_cast<float>(c.*field));
      }, [field](LineControl& c, Args, const Variant& v) {
        c.check_alive();
        c.*field = common_detail::twips_value(v);
        c.place();
      });
    }
    m.property(u"BorderColor", [](LineControl& c, Args) { c.check_alive(); return Variant(c.color_); },
               [](LineControl& c, Args, const Variant& v) {
                 c.check_alive();
                 c.color_ = to_long(v);
                 c.widget()->update();
               });
    m.property(u"BorderWidth", [](LineControl& c, Args) { c.check_alive(); return Variant(c.width_); },
               [](LineControl& c, Args, const Variant& v) {
                 c.check_alive();
                 int32_t w = to_long(v);
                 if (w < 1 || w > 8192) raise(380);  // Invalid property value
                 c.width_ = static_cast<int16_t>(w);
                 c.place();
               });
    // 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 inside solid.
    m.property(u"BorderStyle", [](LineControl& c, Args) { c.check_alive(); return Variant(c.style_); },
               [](LineControl& c, Args, const Variant& v) {
                 c.check_alive();
                 int32_t s = to_long(v);
                 if (s < 0 || s > 6) raise(380);
                 c.style_ = static_cast<int16_t>(s);
                 c.widget()->update();
               });
  }
  std::u16string type_name() const override { return u"Line"; }

  LineControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<LineControl, QtControl>(kind, index) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) { paint(f); });
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setFocusPolicy(Qt::NoFocus);
    attach(w);
    place();
  }
  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<LineControl*>(&model)) {
      x1_ = m->x1_, y1_ = m->y1_, x2_ = m->x2_, y2_ = m->y2_;
      color_ = m->color_, width_ = m->width_, style_ = m->style_;
      place();
    }
  }

  void paint(QFrame& w) {
    if (style_ == 0) return;
    QPainter p(&w);
    QPen pen(to_qcolor(color_), width_);
    pen.setStyle(width_ > 1 ? Qt::SolidLine : draw_style_pen(style_));  // patterns are for thin lines
    pen.setCapStyle(width_ > 1 ? Qt::RoundCap : Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(local(x1_, y1_), local(x2_, y2_));
  }

 private:
  int pad_pixels() const { return width_ / 2 + 1; }
  // The window covers the line and the pen's reach around it.
  void place() {
    int pad = pad_pixels() * kTwipsPerPixel;
    QRect box(QPoint(std::min(x1_, x2_) - pad, std::min(y1_, y2_) - pad),
              QPoint(std::max(x1_, x2_) + pad, std::max(y1_, y2_) + pad));
    origin_ = box.topLeft();
    set_twips_rect(box);
    widget()->update();
  }
  QPointF local(int32_t x, int32_t y) const {
    return {std::round((x - origin_.x()) / double(kTwipsPerPixel)), std::round((y - origin_.y()) / double(kTwipsPerPixel))};
  }

  int32_t x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  QPoint origin_;
  int32_t color_ = static_cast<int32_t>(0x80000008);  // window text
  int16_t width_ = 1;
  int16_t style_ = 1;
};

}  // namespace

Ref<QtControl> make_line_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new LineControl(kind, index, parent));
}

}  // namespace qz
