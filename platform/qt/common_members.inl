// The members every visible control shares; included by qt_control.h.
#pragma once
#include <QApplication>
#include <QPalette>
#include <QToolTip>

#include <cmath>

#include "com/convert.h"
#include "com/error.h"
#include "platform/qt/gdi/qt_graphics_services.h"

namespace qz {

namespace common_detail {

inline int32_t twips_value(const Variant& v) {
  double d = to_double(v);
  if (!(std::fabs(d) < 2147483647.0)) raise(6);  // Overflow
  return static_cast<int32_t>(std::lround(d));
}

// Members that need the control alive raise 364 once it has been unloaded.
template <class T, class F>
auto alive(F f) {
  return [f](T& c, Args a) {
    c.check_alive();
    return f(c, a);
  };
}
template <class T, class F>
auto alive_let(F f) {
  return [f](T& c, Args a, const Variant& v) {
    c.check_alive();
    f(c, a, v);
  };
}

void set_color_role(QWidget* w, QPalette::ColorRole role, int32_t color);
int32_t color_role(const QWidget* w, QPalette::ColorRole role);
void set_mouse_pointer(QWidget* w, int16_t pointer);
int16_t mouse_pointer(const QWidget* w);
void bring_to_front(QtControl& c, bool back);

}  // namespace common_detail

template <class T>
void define_common_members(Members<T>& m) {
  using namespace common_detail;
  m.getter(u"Name", [](T& c, Args) { return Variant(std::u16string(c.kind())); });
  m.getter(u"Index", [](T& c, Args) { return Variant(c.index()); });
  struct Edge { std::u16string_view name; int which; };
  for (Edge e : {Edge{u"Left", 0}, Edge{u"Top", 1}, Edge{u"Width", 2}, Edge{u"Height", 3}}) {
    int which = e.which;
    m.property(e.name, alive<T>([which](T& c, Args) {
      QRect r = c.twips_rect();
      int v = which == 0 ? r.x() : which == 1 ? r.y() : which == 2 ? r.width() : r.height();
      return Variant(static_cast<float>(v));
    }), alive_let<T>([which](T& c, Args, const Variant& v) {
      QRect r = c.twips_rect();
      int32_t t = twips_value(v);
      if (which >= 2 && t < 0) raise(380);  // Invalid property value
      if (which == 0) r.moveLeft(t);
      else if (which == 1) r.moveTop(t);
      else if (which == 2) r.setWidth(t);
      else r.setHeight(t);
      c.set_twips_rect(r);
    }));
  }
  m.method(u"Move", alive<T>([](T& c, Args a) {
    QRect r = c.twips_rect();
    if (a.has(0)) r.moveLeft(twips_value(a[0]));
    if (a.has(1)) r.moveTop(twips_value(a[1]));
    if (a.has(2)) r.setWidth(twips_value(a[2]));
    if (a.has(3)) r.setHeight(twips_value(a[3]));
    if (r.width() < 0 || r.height() < 0) raise(380);
    c.set_twips_rect(r);
    return Variant();
  }));
  m.property(u"Visible", alive<T>([](T& c, Args) { return Variant(c.visible()); }),
             alive_let<T>([](T& c, Args, const Variant& v) { c.widget()->setVisible(to_bool(v)); }));
  m.property(u"Enabled", alive<T>([](T& c, Args) { return Variant(c.widget()->isEnabled()); }),
             alive_let<T>([](T& c, Args, const Variant& v) { c.widget()->setEnabled(to_bool(v)); }));
  m.property(u"Tag", [](T& c, Args) { return Variant(to_str(c.tag)); },
             [](T& c, Args, const Variant& v) { c.tag = Variant(to_str(v)); });
  m.getter(u"hWnd", alive<T>([](T& c, Args) { return Variant(int32_t{c.handle()}); }));
  // Windows that draw have a device context for sys.GDI and sys.API.
  if constexpr (requires(T& t) { t.canvas(); })
    m.getter(u"hDC", alive<T>([](T& c, Args) { return Variant(window_device_context(c.handle())); }));
  m.method(u"SetFocus", alive<T>([](T& c, Args) {
    QWidget* w = c.widget();
    if (!w->isVisible() || !w->isEnabled()) raise(5);  // Invalid procedure call or argument
    w->setFocus(Qt::OtherFocusReason);
    return Variant();
  }));
  m.method(u"ZOrder", alive<T>([](T& c, Args a) {
    bring_to_front(c, a.has(0) && to_integer(a[0]) == 1);
    return Variant();
  }));
  m.method(u"Refresh", alive<T>([](T& c, Args) {
    c.widget()->repaint();
    return Variant();
  }));
  m.getter(u"Parent", [](T& c, Args) { return c.parent_object.is_empty() ? Variant::nothing() : c.parent_object; });
  m.property(u"BackColor", alive<T>([](T& c, Args) { return Variant(color_role(c.widget(), QPalette::Window)); }),
             alive_let<T>([](T& c, Args, const Variant& v) { set_color_role(c.widget(), QPalette::Window, to_long(v)); }));
  m.property(u"ForeColor", alive<T>([](T& c, Args) { return Variant(color_role(c.widget(), QPalette::WindowText)); }),
             alive_let<T>([](T& c, Args, const Variant& v) { set_color_role(c.widget(), QPalette::WindowText, to_long(v)); }));
  m.property(u"FontName", alive<T>([](T& c, Args) { return Variant(c.widget()->font().family().toStdU16String()); }),
             alive_let<T>([](T& c, Args, const Variant& v) {
               QFont f = c.widget()->font();
               f.setFamily(QString::fromStdU16String(to_u16(v)));
               c.widget()->setFont(f);
             }));
  m.property(u"FontSize", alive<T>([](T& c, Args) { return Variant(static_cast<float>(c.widget()->font().pointSizeF())); }),
             alive_let<T>([](T& c, Args, const Variant& v) {
               double size = to_double(v);
               if (!(size > 0 && size < 2048)) raise(380);
               QFont f = c.widget()->font();
               f.setPointSizeF(size);
               c.widget()->setFont(f);
             }));
  struct FontFlag { std::u16string_view name; bool (QFont::*get)() const; void (QFont::*set)(bool); };
  for (FontFlag ff : {FontFlag{u"FontBold", &QFont::bold, &QFont::setBold},
                      FontFlag{u"FontItalic", &QFont::italic, &QFont::setItalic},
                      FontFlag{u"FontUnderline", &QFont::underline, &QFont::setUnderline},
                      FontFlag{u"FontStrikethru", &QFont::strikeOut, &QFont::setStrikeOut}}) {
    auto get = ff.get;
    auto set = ff.set;
    m.property(ff.name, alive<T>([get](T& c, Args) { return Variant((c.widget()->font().*get)()); }),
               alive_let<T>([set](T& c, Args, const Variant& v) {
                 QFont f = c.widget()->font();
                 (f.*set)(to_bool(v));
                 c.widget()->setFont(f);
               }));
  }
  m.property(u"ToolTipText", alive<T>([](T& c, Args) { return Variant(c.widget()->toolTip().toStdU16String()); }),
             alive_let<T>([](T& c, Args, const Variant& v) { c.widget()->setToolTip(QString::fromStdU16String(to_u16(v))); }));
  m.property(u"MousePointer", alive<T>([](T& c, Args) { return Variant(mouse_pointer(c.widget())); }),
             alive_let<T>([](T& c, Args, const Variant& v) { set_mouse_pointer(c.widget(), to_integer(v)); }));
  m.property(u"TabStop", alive<T>([](T& c, Args) { return Variant(c.widget()->focusPolicy() != Qt::NoFocus); }),
             alive_let<T>([](T& c, Args, const Variant& v) {
               c.widget()->setFocusPolicy(to_bool(v) ? Qt::StrongFocus : Qt::ClickFocus);
             }));
  // Drag and drop between controls: DragMode 1 drags on a left press; Drag 1 begins a drag,
  // 2 drops where the pointer is, 0 cancels.
  m.property(u"DragMode", [](T& c, Args) { return Variant(c.drag_mode); },
             [](T& c, Args, const Variant& v) {
               int16_t mode = to_integer(v);
               if (mode != 0 && mode != 1) raise(380);
               c.drag_mode = mode;
             });
  m.property(u"DragIcon", [](T& c, Args) { return c.drag_icon.is_empty() ? Variant::nothing() : c.drag_icon; },
             [](T& c, Args, const Variant& v) { c.drag_icon = Variant(to_object(v)); });
  m.setter(u"DragIcon", [](T& c, Args, const Variant& v) { c.drag_icon = Variant(to_object(v)); });
  m.method(u"Drag", alive<T>([](T& c, Args a) {
    int16_t action = a.has(0) ? to_integer(a[0]) : int16_t{1};
    if (action < 0 || action > 2) raise(5);
    if (action == 1) c.begin_drag();
    else QtControl::end_drag(action == 2);
    return Variant();
  }));
  m.property(u"Container", [](T& c, Args) -> Variant {
    QtControl* k = c.container();
    return k ? Variant(static_cast<Object*>(k)) : Variant::nothing();
  }, [](T& c, Args, const Variant& v) {
    c.check_alive();
    Object* o = to_object(v);
    auto* w = o ? dynamic_cast<QtControl*>(o) : nullptr;
    if (!w || w->destroyed()) raise(13);  // Type mismatch
    c.set_container(w);
  });
}

}  // namespace qz
