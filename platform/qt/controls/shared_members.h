// Members that several of the plain controls (labels, text boxes, check boxes, option buttons,
// frames) have in common, each over its own widget: Caption, Alignment, BorderStyle; and how
// such a control starts out before the script places it.
#pragma once
#include <QString>
#include <QWidget>

#include "com/convert.h"
#include "com/error.h"
#include "platform/qt/qt_control.h"

namespace qz::shared_members {

using common_detail::alive;
using common_detail::alive_let;

// Where element 0 of these kinds sits, in twips, until the script moves it.
inline const QRect kDesignRect{0, 0, 1215, 495};

inline QString qtext(const Variant& v) { return QString::fromStdU16String(to_u16(v)); }
inline Variant text_value(const QString& s) { return Variant(s.toStdU16String()); }

[[noreturn]] inline void invalid_value() { raise(380, u"Invalid property value"); }

// Presses, releases and moves over the control are its own: Qt must not hand the ones the
// widget leaves unused on to the container, which would raise its mouse events as well.
inline void own_mouse_events(QWidget* w) { w->setAttribute(Qt::WA_NoMousePropagation); }

// Alignment 0 left, 1 right, 2 centre.
inline Qt::Alignment horizontal_alignment(int16_t a) {
  return a == 1 ? Qt::AlignRight : a == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
}

// Check boxes and option buttons: Alignment 1 puts the box to the right of the caption.
inline bool box_on_right(const QWidget* w) { return w->layoutDirection() == Qt::RightToLeft; }
inline void set_box_on_right(QWidget* w, bool right) {
  w->setLayoutDirection(right ? Qt::RightToLeft : Qt::LeftToRight);
}

template <class T, class Get, class Set>
void define_caption(Members<T>& m, Get get, Set set) {
  m.property(u"Caption", alive<T>([get](T& c, Args) { return text_value(get(c)); }),
             alive_let<T>([set](T& c, Args, const Variant& v) { set(c, qtext(v)); }));
}

// Alignment from 0 to `highest`; other values are refused.
template <class T, class Get, class Set>
void define_alignment(Members<T>& m, Get get, Set set, int16_t highest = 2) {
  m.property(u"Alignment", alive<T>([get](T& c, Args) { return Variant(static_cast<int16_t>(get(c))); }),
             alive_let<T>([set, highest](T& c, Args, const Variant& v) {
               int16_t a = to_integer(v);
               if (a < 0 || a > highest) invalid_value();
               set(c, a);
             }));
}

// BorderStyle 0 none, 1 a single line.
template <class T, class Get, class Set>
void define_border_style(Members<T>& m, Get get, Set set) {
  m.property(u"BorderStyle", alive<T>([get](T& c, Args) { return Variant(static_cast<int16_t>(get(c) ? 1 : 0)); }),
             alive_let<T>([set](T& c, Args, const Variant& v) {
               int16_t b = to_integer(v);
               if (b != 0 && b != 1) invalid_value();
               set(c, b == 1);
             }));
}

}  // namespace qz::shared_members
