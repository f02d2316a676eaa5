// The window of a script form: a top-level widget that the form's controls sit on. It raises
// the form's events (mouse, keys, Resize, Paint ...) through the same tables as the controls,
// and tells the form object, by events outside the tables, when it has been shown ("Shown")
// and when the close box asks to close it ("Close": the result is the cancel code).
// The form draws (the shared drawing members) on a canvas the size of its client area, below
// the menu bar; the drawing is painted under the controls and survives the window being covered.
#pragma once
#include <QWidget>

#include "platform/qt/drawing_members.h"
#include "platform/qt/qt_control.h"

namespace qz {

class FormWindow;

class FormWidget final : public QWidget {
 public:
  explicit FormWidget(FormWindow* owner) : owner_(owner) {}
  FormWindow* owner_;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
};

class FormWindow final : public NativeObject<FormWindow, QtControl>, public DrawingHost {
 public:
  static void define(Members<FormWindow>& m);
  std::u16string type_name() const override { return u"Form"; }

  explicit FormWindow(std::u16string_view caption);
  ~FormWindow() override;
  void destroy() override;

  // Tells the listener about a happening that no event table lists; returns its result.
  Variant notify(std::u16string_view name);

  void paint(QPaintEvent* e);
  void close_requested(QCloseEvent* e);
  void shown();
  void hidden();
  void resized();

  // DrawingHost
  Canvas& canvas() override;
  void drawing_font_changed() override;
  void drawing_colors_changed() override;
  void drawing_picture_changed() override;
  // Mouse positions in the form's scale.
  QPointF to_event_units(QPointF pixels) const override;

 private:
  QSize client_size() const;
  void hold_loop(bool on);
  bool holding_ = false;
  bool in_paint_ = false;
};

}  // namespace qz
