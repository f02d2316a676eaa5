// A window whose control paints it: the adapters of the drawing and picture kinds hand it their
// paint routine. It is a frame so a border can be drawn around what the control paints. The
// routine never runs once the control is gone, as destroying a control hides its window first.
#pragma once
#include <QFrame>

#include <functional>
#include <utility>

namespace qz {

class PaintedWidget final : public QFrame {
 public:
  using PaintRoutine = std::function<void(QFrame&)>;
  PaintedWidget(QWidget* parent, PaintRoutine paint) : QFrame(parent), paint_(std::move(paint)) {}

 protected:
  void paintEvent(QPaintEvent* e) override {
    paint_(*this);
    QFrame::paintEvent(e);  // the border, over the contents
  }

 private:
  PaintRoutine paint_;
};

}  // namespace qz
