// Image controls: a window without a background of its own that shows a Picture, at the
// picture's size (the control takes that size) or, with Stretch, scaled to the control.
// Mouse clicks and moves raise its events; it takes no focus and no keys.
#include <QPainter>

#include "platform/qt/control_registry.h"
#include "platform/qt/painted_widget.h"
#include "platform/qt/drawing_members.h"

namespace qz {

namespace {

class ImageControl final : public NativeObject<ImageControl, QtControl> {
 public:
  static void define(Members<ImageControl>& m) {
    define_common_members(m);
    m.property(u"Picture", [](ImageControl& c, Args) {
      c.check_alive();
      return c.picture_;
    }, [](ImageControl& c, Args, const Variant& v) {
      c.check_alive();
      Picture* p = drawing_detail::picture_arg(v, true);
      c.picture_ = p ? Variant(static_cast<Object*>(p)) : Variant::nothing();
      c.image_ = p ? p->image() : QImage();
      c.fit();
    });
    m.property(u"Stretch", [](ImageControl& c, Args) { c.check_alive(); return Variant(c.stretch_); },
               [](ImageControl& c, Args, const Variant& v) {
                 c.check_alive();
                 c.stretch_ = to_bool(v);
                 c.fit();
               });
  }
  std::u16string type_name() const override { return u"Image"; }

  ImageControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ImageControl, QtControl>(kind, index) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) { paint(f); });
    w->setFocusPolicy(Qt::NoFocus);
    attach(w);
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<ImageControl*>(&model)) {
      picture_ = m->picture_;
      image_ = m->image_;
      stretch_ = m->stretch_;
      fit();
    }
  }

  void paint(QFrame& w) {
    if (image_.isNull()) return;
    QPainter p(&w);
    if (stretch_) p.drawImage(w.rect(), image_);
    else p.drawImage(0, 0, image_);
  }

 private:
  // Without Stretch the control takes the picture's size.
  void fit() {
    QWidget* w = widget();
    if (!stretch_ && !image_.isNull()) w->resize(image_.size());
    w->update();
  }

  Variant picture_ = Variant::nothing();
  QImage image_;
  bool stretch_ = false;
};

}  // namespace

Ref<QtControl> make_image_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ImageControl(kind, index, parent));
}

}  // namespace qz
