// The window of a script form: a top-level widget that the form's controls sit on. It raises
// the form's events (mouse, keys, Resize, Paint ...) through the same tables as the controls,
// and tells the form object, by events outside the tables, when it has been shown ("Shown")
// and when the close box asks to close it ("Close": the result is the cancel code).
#pragma once
#include <QWidget>

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

class FormWindow final : public NativeObject<FormWindow, QtControl> {
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

 private:
  void hold_loop(bool on);
  bool holding_ = false;
  bool in_paint_ = false;
};

}  // namespace qz
