#include "platform/qt/form_window.h"

#include <QCloseEvent>
#include <QPainter>
#include <QScreen>

#include <cstdio>
#include <unistd.h>

#include "platform/event_loop.h"
#include "platform/qt/gui_application.h"

namespace qz {

void FormWidget::paintEvent(QPaintEvent* e) { if (owner_) owner_->paint(e); }
void FormWidget::closeEvent(QCloseEvent* e) { if (owner_) owner_->close_requested(e); }
void FormWidget::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous() && owner_) owner_->shown();
}
void FormWidget::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  if (!e->spontaneous() && owner_) owner_->hidden();
}
void FormWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (owner_) owner_->resized();
}

FormWindow::FormWindow(std::u16string_view caption)
    : NativeObject<FormWindow, QtControl>(u"Form", 0), DrawingHost(0, 0) {
  auto* w = new FormWidget(this);
  w->setWindowTitle(QString::fromStdU16String(std::u16string(caption)));
  w->setAttribute(Qt::WA_QuitOnClose, false);
  // A click on the form's face leaves the focus with the control that has it; a form with no
  // control gets the keys all the same (see the activation events).
  w->setFocusPolicy(Qt::NoFocus);
  w->setMouseTracking(true);
  w->resize(4800 / kTwipsPerPixel, 3600 / kTwipsPerPixel);
  attach(w);
  canvas_->set_font(w->font());
  canvas_->set_changed_handler([this] {
    if (!in_paint_ && widget()) widget()->update();
  });
}

FormWindow::~FormWindow() { destroy(); }

void FormWindow::destroy() {
  hold_loop(false);
  if (auto* w = static_cast<FormWidget*>(widget())) w->owner_ = nullptr;
  QtControl::destroy();
}

Variant FormWindow::notify(std::u16string_view name) {
  if (!listener_) return Variant();
  WindowEvent e;
  e.name = name;
  Ref<FormWindow> keep(this);
  WindowListener listener = listener_;
  try {
    listener(e);
  } catch (...) {
  }
  return e.result;
}

void FormWindow::hold_loop(bool on) {
  if (on == holding_) return;
  EventLoop* loop = gui_event_loop();
  if (!loop) return;
  holding_ = on;
  if (on) loop->hold();
  else loop->release();
}

// Form_Paint runs before the drawing is shown (so what it draws shows at once), and only
// without AutoRedraw, as the drawing is kept either way.
void FormWindow::paint(QPaintEvent*) {
  if (in_paint_ || destroyed()) return;
  if (!canvas().auto_redraw()) {
    Ref<FormWindow> keep(this);
    in_paint_ = true;
    notify(u"Paint");
    in_paint_ = false;
    if (destroyed()) return;
  }
  QPainter p(widget());
  p.translate(0, widget()->height() - client_size().height());
  canvas().paint(p);
}

QSize FormWindow::client_size() const {
  QWidget* w = widget();
  if (!w) return {};
  QVariant top = w->property("quazel_client_top");  // the menu bar's height
  return {w->width(), std::max(0, w->height() - (top.isValid() ? top.toInt() : 0))};
}

Canvas& FormWindow::canvas() {
  QSize inside = client_size();
  if (widget() && inside != canvas_->size()) canvas_->resize(inside.width(), inside.height());
  return *canvas_;
}

void FormWindow::drawing_font_changed() { widget()->setFont(canvas_->font()); }

void FormWindow::drawing_colors_changed() {
  common_detail::set_color_role(widget(), QPalette::Window, canvas_->back_color());
  common_detail::set_color_role(widget(), QPalette::WindowText, canvas_->fore_color());
}

void FormWindow::drawing_picture_changed() { widget()->update(); }

QPointF FormWindow::to_event_units(QPointF pixels) const { return canvas_->from_pixels(pixels); }

void FormWindow::close_requested(QCloseEvent* e) {
  // The form object decides: it unloads the form (the window goes), hides it, or keeps it.
  bool decided_elsewhere = static_cast<bool>(listener_);
  notify(u"Close");
  if (decided_elsewhere && !destroyed()) e->ignore();
  else e->accept();
}

void FormWindow::shown() {
  hold_loop(true);
  notify(u"Shown");
}

void FormWindow::hidden() { hold_loop(false); }

void FormWindow::resized() {
  if (destroyed()) return;
  canvas();
  if (visible()) raise_event(u"Resize");
}

void FormWindow::define(Members<FormWindow>& m) {
  define_common_members(m);
  define_drawing_members(m);
  m.property(u"Caption", [](FormWindow& f, Args) {
    f.check_alive();
    return Variant(f.widget()->windowTitle().toStdU16String());
  }, [](FormWindow& f, Args, const Variant& v) {
    f.check_alive();
    f.widget()->setWindowTitle(QString::fromStdU16String(to_u16(v)));
  });
  m.property(u"WindowState", [](FormWindow& f, Args) {
    f.check_alive();
    Qt::WindowStates s = f.widget()->windowState();
    return Variant(int16_t(s & Qt::WindowMinimized ? 1 : s & Qt::WindowMaximized ? 2 : 0));
  }, [](FormWindow& f, Args, const Variant& v) {
    f.check_alive();
    int16_t s = to_integer(v);
    if (s < 0 || s > 2) raise(380);
    f.widget()->setWindowState(s == 1 ? Qt::WindowMinimized : s == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
  });
}

}  // namespace qz
