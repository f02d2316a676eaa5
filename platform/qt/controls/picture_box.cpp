// Picture boxes: a framed window that draws (the shared drawing members over a canvas the size
// of its inside), shows a Picture under the drawing, holds other controls, and raises Paint
// and Resize besides the common mouse and key events. Mouse positions come in its own scale.
#include <QPainter>

#include "platform/qt/control_registry.h"
#include "platform/qt/drawing_members.h"
#include "platform/qt/painted_widget.h"

namespace qz {

namespace {

class PictureBox final : public NativeObject<PictureBox, QtControl>, public DrawingHost {
 public:
  static void define(Members<PictureBox>& m) {
    define_common_members(m);
    define_drawing_members(m);
    // 0 none, 1 a sunken single border (the default): the drawing area is inside the border.
    m.property(u"BorderStyle", [](PictureBox& p, Args) {
      p.check_alive();
      return Variant(int16_t(p.frame()->frameShape() == QFrame::NoFrame ? 0 : 1));
    }, [](PictureBox& p, Args, const Variant& v) {
      p.check_alive();
      int16_t s = to_integer(v);
      if (s != 0 && s != 1) raise(380);
      set_border(*p.frame(), s == 1);
    });
  }
  std::u16string type_name() const override { return u"PictureBox"; }

  PictureBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<PictureBox, QtControl>(kind, index), DrawingHost(0, 0) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) { paint(f); });
    w->setFocusPolicy(Qt::ClickFocus);
    set_border(*w, true);
    attach(w);  // last: from here on events reach this control, which nothing holds yet
    canvas_->set_changed_handler([this] {
      if (!in_paint_ && widget()) widget()->update();
    });
  }
  Canvas& canvas() override {
    if (QWidget* w = widget()) {
      QSize inside = w->contentsRect().size();
      if (inside != canvas_->size()) canvas_->resize(inside.width(), inside.height());
    }
    return *canvas_;
  }
  void drawing_font_changed() override { widget()->setFont(canvas_->font()); }
  void drawing_colors_changed() override {
    common_detail::set_color_role(widget(), QPalette::Window, canvas_->back_color());
    common_detail::set_color_role(widget(), QPalette::WindowText, canvas_->fore_color());
  }
  void drawing_picture_changed() override { widget()->update(); }

  QPointF to_event_units(QPointF pixels) const override {
    QPoint inside = widget() ? widget()->contentsRect().topLeft() : QPoint();
    return canvas_->from_pixels(pixels - QPointF(inside));
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<PictureBox*>(&model);
    if (!m || !m->widget()) return;
    set_border(*frame(), m->frame()->frameShape() != QFrame::NoFrame);
    Canvas& from = *m->canvas_;
    Canvas& to = canvas();
    to.set_font(from.font());
    to.set_fore_color(from.fore_color());
    to.set_back_color(from.back_color());
    to.set_auto_redraw(from.auto_redraw());
    picture = m->picture;
    if (Picture* p = drawing_detail::picture_arg(picture, true)) to.set_picture(p->image());
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::Resize) {
      canvas();
      if (visible()) raise_event(u"Resize");
      return false;
    }
    return QtControl::on_event(watched, event);
  }

  // Paint procedures run before the image is shown (so what they draw shows at once), and only
  // without AutoRedraw, as the drawing is kept either way.
  void paint(QFrame& w) {
    Canvas& k = canvas();
    if (!k.auto_redraw() && !in_paint_) {
      Ref<PictureBox> keep(this);
      in_paint_ = true;
      raise_event(u"Paint");
      in_paint_ = false;
      if (destroyed()) return;
    }
    QPainter p(&w);
    p.translate(w.contentsRect().topLeft());
    canvas().paint(p);
  }

 private:
  QFrame* frame() const { return static_cast<QFrame*>(widget()); }
  static void set_border(QFrame& f, bool on) {
    f.setFrameShape(on ? QFrame::Panel : QFrame::NoFrame);
    f.setFrameShadow(QFrame::Sunken);
    f.setLineWidth(on ? 2 : 0);
    // The controls on the box sit inside its border.
    f.setProperty("quazel_client_left", on ? 2 : 0);
    f.setProperty("quazel_client_top", on ? 2 : 0);
    f.update();
  }
  bool in_paint_ = false;
};

}  // namespace

Ref<QtControl> make_picture_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new PictureBox(kind, index, parent));
}

}  // namespace qz
