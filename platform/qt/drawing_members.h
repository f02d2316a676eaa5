// The drawing members that forms, picture boxes and printer pages share, over one Canvas:
// the graphics methods (Line, Circle, PSet, Print, Cls, PaintPicture, Point), the text measures,
// the scale (ScaleMode, ScaleLeft/Top/Width/Height, Scale, ScaleX/ScaleY) and the drawing state
// (CurrentX/CurrentY, DrawWidth/Style/Mode, FillStyle/Color, Fore/BackColor, Font*,
// AutoRedraw, Picture, Image).
//
// Line, Circle and PSet take a flags word first (DrawFlags) saying which optional parts are
// present, then every position of the statement whether given or not:
//   Line(flags, x1, y1, x2, y2[, color])
//   Circle(flags, x, y, radius[, color[, start[, end[, aspect]]]])
//   PSet(flags, x, y[, color])
#pragma once
#include <QFont>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "com/convert.h"
#include "com/error.h"
#include "com/object.h"
#include "platform/qt/canvas.h"
#include "platform/qt/picture.h"

namespace qz {

// What a drawing owner keeps besides its members: the canvas and the Picture property's
// object. Windows override the hooks so the widget shows what changed.
class DrawingHost {
 public:
  virtual ~DrawingHost() = default;
  // The canvas, sized to the owner's drawing area first.
  virtual Canvas& canvas() { return *canvas_; }
  // The font, colours or Picture of the canvas changed.
  virtual void drawing_font_changed() {}
  virtual void drawing_colors_changed() {}
  virtual void drawing_picture_changed() {}

  Variant picture = Variant::nothing();

 protected:
  DrawingHost(int width_px, int height_px) : canvas_(std::make_unique<Canvas>(width_px, height_px)) {}
  std::unique_ptr<Canvas> canvas_;
};

namespace drawing_detail {

constexpr int kInvalidPicture = 481;

inline bool flag(int32_t flags, int32_t bit) { return (flags & bit) != 0; }
inline double arg(Args a, size_t i) { return a.has(i) ? to_double(a[i]) : 0.0; }
inline std::optional<double> optional_arg(Args a, size_t i) {
  return a.has(i) ? std::optional<double>(to_double(a[i])) : std::nullopt;
}
// The colour at `i` when the flags say one is given (a colour left out takes ForeColor).
inline std::optional<int32_t> color_arg(Args a, size_t i, int32_t flags) {
  if (!flag(flags, kDrawColor) || !a.has(i)) return std::nullopt;
  return to_long(a[i]);
}
// A scale unit argument: ScaleMode values 0..8.
inline int16_t unit_arg(Args a, size_t i, int16_t fallback) {
  if (!a.has(i)) return fallback;
  int16_t u = to_integer(a[i]);
  if (u < kScaleUser || u > kScaleHimetric) raise(kErrIllegalCall);
  return u;
}
// The picture behind a Picture value; Nothing (or Empty) is no picture.
inline Picture* picture_arg(const Variant& v, bool allow_none) {
  Variant d = v.deref();
  if (allow_none && (d.is_empty() || (d.is_object() && !d.as_object()))) return nullptr;
  Picture* p = d.is_object() ? as_picture(d.as_object()) : nullptr;
  if (!p) raise(kInvalidPicture, u"Invalid picture");
  return p;
}
inline Variant single(double v) { return Variant(static_cast<float>(v)); }

// A property kept by the canvas: positions and sizes are Single to the script.
inline Variant out(double v) { return single(v); }
inline Variant out(int16_t v) { return Variant(v); }
inline Variant out(int32_t v) { return Variant(v); }
inline Variant out(bool v) { return Variant(v); }
template <class V>
V in(const Variant& v) {
  if constexpr (std::is_same_v<V, double>) return to_double(v);
  else if constexpr (std::is_same_v<V, int16_t>) return to_integer(v);
  else if constexpr (std::is_same_v<V, int32_t>) return to_long(v);
  else return to_bool(v);
}
template <class T, class V>
void canvas_property(Members<T>& m, std::u16string_view name, V (Canvas::*get)() const, void (Canvas::*set)(V)) {
  m.property(name, [get](T& c, Args) {
    c.check_alive();
    return out((c.canvas().*get)());
  }, [set](T& c, Args, const Variant& v) {
    c.check_alive();
    (c.canvas().*set)(in<V>(v));
  });
}

}  // namespace drawing_detail

// T derives from DrawingHost and has check_alive() (raising for an owner that is gone).
template <class T>
void define_drawing_members(Members<T>& m) {
  using namespace drawing_detail;
  auto canvas = [](T& c) -> Canvas& {
    c.check_alive();
    return c.canvas();
  };

  // ---- state ----
  canvas_property(m, u"AutoRedraw", &Canvas::auto_redraw, &Canvas::set_auto_redraw);
  canvas_property(m, u"CurrentX", &Canvas::current_x, &Canvas::set_current_x);
  canvas_property(m, u"CurrentY", &Canvas::current_y, &Canvas::set_current_y);
  canvas_property(m, u"DrawWidth", &Canvas::draw_width, &Canvas::set_draw_width);
  canvas_property(m, u"DrawStyle", &Canvas::draw_style, &Canvas::set_draw_style);
  canvas_property(m, u"DrawMode", &Canvas::draw_mode, &Canvas::set_draw_mode);
  canvas_property(m, u"FillStyle", &Canvas::fill_style, &Canvas::set_fill_style);
  canvas_property(m, u"FillColor", &Canvas::fill_color, &Canvas::set_fill_color);
  m.property(u"ForeColor", [canvas](T& c, Args) { return Variant(canvas(c).fore_color()); },
             [canvas](T& c, Args, const Variant& v) {
               canvas(c).set_fore_color(to_long(v));
               c.drawing_colors_changed();
             });
  // A new BackColor clears the drawing.
  m.property(u"BackColor", [canvas](T& c, Args) { return Variant(canvas(c).back_color()); },
             [canvas](T& c, Args, const Variant& v) {
               canvas(c).set_back_color(to_long(v));
               c.drawing_colors_changed();
             });

  // ---- font (Print and the text measures use it) ----
  auto set_font = [canvas](T& c, auto change) {
    QFont f = canvas(c).font();
    change(f);
    c.canvas().set_font(f);
    c.drawing_font_changed();
  };
  m.property(u"FontName", [canvas](T& c, Args) { return Variant(canvas(c).font().family().toStdU16String()); },
             [set_font](T& c, Args, const Variant& v) {
               QString family = QString::fromStdU16String(to_u16(v));
               set_font(c, [&](QFont& f) { f.setFamily(family); });
             });
  m.property(u"FontSize", [canvas](T& c, Args) { return single(canvas(c).font().pointSizeF()); },
             [set_font](T& c, Args, const Variant& v) {
               double size = to_double(v);
               if (!(size > 0 && size < 2048)) raise(380);  // Invalid property value
               set_font(c, [&](QFont& f) { f.setPointSizeF(size); });
             });
  struct FontFlag { std::u16string_view name; bool (QFont::*get)() const; void (QFont::*set)(bool); };
  for (FontFlag ff : {FontFlag{u"FontBold", &QFont::bold, &QFont::setBold},
                      FontFlag{u"FontItalic", &QFont::italic, &QFont::setItalic},
                      FontFlag{u"FontUnderline", &QFont::underline, &QFont::setUnderline},
                      FontFlag{u"FontStrikethru", &QFont::strikeOut, &QFont::setStrikeOut}}) {
    auto get = ff.get;
    auto put = ff.set;
    m.property(ff.name, [canvas, get](T& c, Args) { return Variant((canvas(c).font().*get)()); },
               [set_font, put](T& c, Args, const Variant& v) {
                 bool on = to_bool(v);
                 set_font(c, [&](QFont& f) { (f.*put)(on); });
               });
  }

  // ---- pictures ----
  // Picture: shown under the drawing and restored by Cls; Nothing removes it.
  m.property(u"Picture", [](T& c, Args) {
    c.check_alive();
    return c.picture;
  }, [canvas](T& c, Args, const Variant& v) {
    Picture* p = picture_arg(v, true);
    canvas(c).set_picture(p ? p->image() : QImage());
    c.picture = p ? Variant(static_cast<Object*>(p)) : Variant::nothing();
    c.drawing_picture_changed();
  });
  // Image: what is drawn now, as a picture of its own.
  m.getter(u"Image", [canvas](T& c, Args) {
    QImage now = canvas(c).image().copy();
    return Variant(static_cast<Object*>(make_ref<Picture>(std::move(now)).get()));
  });

  // ---- scale ----
  canvas_property(m, u"ScaleMode", &Canvas::scale_mode, &Canvas::set_scale_mode);
  canvas_property(m, u"ScaleLeft", &Canvas::scale_left, &Canvas::set_scale_left);
  canvas_property(m, u"ScaleTop", &Canvas::scale_top, &Canvas::set_scale_top);
  canvas_property(m, u"ScaleWidth", &Canvas::scale_width, &Canvas::set_scale_width);
  canvas_property(m, u"ScaleHeight", &Canvas::scale_height, &Canvas::set_scale_height);
  // Scale x1, y1, x2, y2 sets a user scale; Scale alone goes back to twips.
  m.method(u"Scale", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    if (a.empty()) {
      k.reset_scale();
      return Variant();
    }
    if (!a.has(0) || !a.has(1) || !a.has(2) || !a.has(3)) raise(kErrIllegalCall);
    k.scale(to_double(a[0]), to_double(a[1]), to_double(a[2]), to_double(a[3]));
    return Variant();
  });
  // ScaleX/ScaleY(value[, from[, to]]): from HIMETRIC to the current scale unless told.
  m.method(u"ScaleX", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    return single(k.scale_x(to_double(a[0]), unit_arg(a, 1, kScaleHimetric), unit_arg(a, 2, k.scale_mode())));
  });
  m.method(u"ScaleY", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    return single(k.scale_y(to_double(a[0]), unit_arg(a, 1, kScaleHimetric), unit_arg(a, 2, k.scale_mode())));
  });

  // ---- statements ----
  m.method(u"Line", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    int32_t f = to_long(a[0]);
    std::optional<QPointF> from;
    if (flag(f, kDrawFirstPoint)) from = QPointF(arg(a, 1), arg(a, 2));
    Canvas::LineShape shape = flag(f, kDrawFill)  ? Canvas::LineShape::kFilledBox
                              : flag(f, kDrawBox) ? Canvas::LineShape::kBox
                                                  : Canvas::LineShape::kLine;
    k.line(from, flag(f, kDrawStep), QPointF(arg(a, 3), arg(a, 4)), flag(f, kDrawStepSecond), color_arg(a, 5, f), shape);
    return Variant();
  });
  m.method(u"Circle", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    int32_t f = to_long(a[0]);
    auto part = [&](size_t i, int32_t bit) { return flag(f, bit) ? optional_arg(a, i) : std::nullopt; };
    k.circle(QPointF(arg(a, 1), arg(a, 2)), flag(f, kDrawStep), arg(a, 3), color_arg(a, 4, f), part(5, kDrawStart),
             part(6, kDrawEnd), part(7, kDrawAspect));
    return Variant();
  });
  m.method(u"PSet", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    int32_t f = to_long(a[0]);
    k.pset(QPointF(arg(a, 1), arg(a, 2)), flag(f, kDrawStep), color_arg(a, 3, f));
    return Variant();
  });
  m.method(u"Point", [canvas](T& c, Args a) { return Variant(canvas(c).point(to_double(a[0]), to_double(a[1]))); });
  // Print a, b, ...: the texts one after another, then a new line.
  m.method(u"Print", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    std::u16string text;
    for (size_t i = 0; i < a.size(); ++i)
      if (a.has(i)) text += to_u16(a[i]);
    k.print(text, true);
    return Variant();
  });
  m.method(u"Cls", [canvas](T& c, Args) {
    canvas(c).cls();
    return Variant();
  });
  m.method(u"TextWidth", [canvas](T& c, Args a) { return single(canvas(c).text_width(to_u16(a[0]))); });
  m.method(u"TextHeight", [canvas](T& c, Args a) { return single(canvas(c).text_height(to_u16(a[0]))); });
  m.method(u"PaintPicture", [canvas](T& c, Args a) {
    Canvas& k = canvas(c);
    Picture* p = picture_arg(a[0], false);
    std::optional<int32_t> opcode = a.has(9) ? std::optional<int32_t>(to_long(a[9])) : std::nullopt;
    k.paint_picture(p->image(), to_double(a[1]), to_double(a[2]), optional_arg(a, 3), optional_arg(a, 4),
                    optional_arg(a, 5), optional_arg(a, 6), optional_arg(a, 7), optional_arg(a, 8), opcode);
    return Variant();
  });
}

}  // namespace qz
