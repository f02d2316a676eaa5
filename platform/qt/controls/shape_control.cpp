// Shape controls: a rectangle, square, oval, circle or rounded rectangle or square (Shape 0..5)
// drawn inside the control with its border (BorderColor, BorderStyle, BorderWidth), filled
// with FillColor in FillStyle over BackColor when BackStyle is opaque. A shape is decoration:
// it raises no events and the pointer goes through it to what is below.
#include <QPainter>

#include <algorithm>

#include "platform/qt/canvas.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/painted_widget.h"

namespace qz {

namespace {

class ShapeControl final : public NativeObject<ShapeControl, QtControl> {
 public:
  struct Looks {
    int16_t shape = 0;
    int32_t border_color = static_cast<int32_t>(0x80000008);  // window text
    int16_t border_style = 1;
    int16_t border_width = 1;
    int32_t fill_color = 0;
    int16_t fill_style = 1;                                   // transparent
    int32_t back_color = static_cast<int32_t>(0x80000005);    // window background
    int16_t back_style = 0;                                   // transparent
  };

  static void define(Members<ShapeControl>& m) {
    define_common_members(m);
    number(m, u"Shape", &Looks::shape, 0, 5);
    number(m, u"BorderStyle", &Looks::border_style, 0, 6);
    number(m, u"BorderWidth", &Looks::border_width, 1, 8192);
    number(m, u"FillStyle", &Looks::fill_style, 0, 7);
    number(m, u"BackStyle", &Looks::back_style, 0, 1);
    color(m, u"BorderColor", &Looks::border_color);
    color(m, u"FillColor", &Looks::fill_color);
    color(m, u"BackColor", &Looks::back_color);
  }
  std::u16string type_name() const override { return u"Shape"; }

  ShapeControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ShapeControl, QtControl>(kind, index) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) { paint(f); });
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setFocusPolicy(Qt::NoFocus);
    attach(w);
  }
  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<ShapeControl*>(&model)) looks_ = m->looks_;
  }

  void paint(QFrame& w) {
    const Looks& k = looks_;
    double pen = k.border_style == 0 ? 0 : k.border_width;
    QRectF r = QRectF(w.rect());
    if (k.shape == 1 || k.shape == 3 || k.shape == 5) {  // square kinds: centred in the control
      double side = std::min(r.width(), r.height());
      r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    // The border is drawn inside the control.
    r.adjust(pen / 2, pen / 2, -pen / 2, -pen / 2);
    QPainter p(&w);
    p.setRenderHint(QPainter::Antialiasing, k.shape >= 2);
    double radius = std::min(r.width(), r.height()) / 10;
    auto outline = [&](QPainter& painter) {
      if (k.shape == 2 || k.shape == 3) painter.drawEllipse(r);
      else if (k.shape >= 4) painter.drawRoundedRect(r, radius, radius);
      else painter.drawRect(r);
    };
    p.setPen(Qt::NoPen);
    if (k.back_style == 1) {
      p.setBrush(to_qcolor(k.back_color));
      outline(p);
    }
    if (k.fill_style != 1) {
      p.setBrush(QBrush(to_qcolor(k.fill_color), fill_style_brush(k.fill_style)));
      outline(p);
    }
    if (pen > 0) {
      QPen border(to_qcolor(k.border_color), pen);
      // Patterns are for thin borders only; a wide one draws solid.
      border.setStyle(pen > 1 ? Qt::SolidLine : draw_style_pen(k.border_style));
      p.setPen(border);
      p.setBrush(Qt::NoBrush);
      outline(p);
    }
  }

 private:
  template <class V>
  static void number(Members<ShapeControl>& m, std::u16string_view name, V Looks::*field, int lo, int hi) {
    m.property(name, [field](ShapeControl& c, Args) {
      c.check_alive();
      return Variant(c.looks_.*field);
    }, [field, lo, hi](ShapeControl& c, Args, const Variant& v) {
      c.check_alive();
      int32_t n = to_long(v);
      if (n < lo || n > hi) raise(380);  // Invalid property value
      c.looks_.*field = static_cast<V>(n);
      c.widget()->update();
    });
  }
  static void color(Members<ShapeControl>& m, std::u16string_view name, int32_t Looks::*field) {
    m.property(name, [field](ShapeControl& c, Args) {
      c.check_alive();
      return Variant(c.looks_.*field);
    }, [field](ShapeControl& c, Args, const Variant& v) {
      c.check_alive();
      c.looks_.*field = to_long(v);
      c.widget()->update();
    });
  }

  Looks looks_;
};

}  // namespace

Ref<QtControl> make_shape_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ShapeControl(kind, index, parent));
}

}  // namespace qz
