// Picture clips: a picture cut into a grid of Rows x Cols cells (GraphicCell(i), numbered row
// by row from 0) or clipped to any rectangle (Clip, from ClipX, ClipY, ClipWidth and
// ClipHeight), each handed out as a picture of its own. Sizes and positions are in pixels of
// the picture. It has no appearance: its window is never shown.
#include <QWidget>

#include "platform/qt/control_registry.h"
#include "platform/qt/drawing_members.h"

namespace qz {

namespace {

constexpr int kInvalidValue = 380;

class PictureClip final : public NativeObject<PictureClip, QtControl> {
 public:
  static void define(Members<PictureClip>& m) {
    define_common_members(m);
    m.property(u"Picture", [](PictureClip& c, Args) { c.check_alive(); return c.picture_; },
               [](PictureClip& c, Args, const Variant& v) {
                 c.check_alive();
                 Picture* p = drawing_detail::picture_arg(v, true);
                 c.picture_ = p ? Variant(static_cast<Object*>(p)) : Variant::nothing();
                 c.image_ = p ? p->image() : QImage();
               });
    grid(m, u"Rows", &PictureClip::rows_);
    grid(m, u"Cols", &PictureClip::cols_);
    m.getter(u"CellWidth", [](PictureClip& c, Args) { c.check_alive(); return Variant(int16_t(c.image_.width() / c.cols_)); });
    m.getter(u"CellHeight", [](PictureClip& c, Args) { c.check_alive(); return Variant(int16_t(c.image_.height() / c.rows_)); });
    int32_t PictureClip::*clip[] = {&PictureClip::clip_x_, &PictureClip::clip_y_, &PictureClip::clip_width_,
                                    &PictureClip::clip_height_};
    const char16_t* names[] = {u"ClipX", u"ClipY", u"ClipWidth", u"ClipHeight"};
    for (int i = 0; i < 4; ++i) {
      auto field = clip[i];
      m.property(names[i], [field](PictureClip& c, Args) { c.check_alive(); return Variant(c.*field); },
                 [field](PictureClip& c, Args, const Variant& v) {
                   c.check_alive();
                   int32_t n = to_long(v);
                   if (n < 0) raise(kInvalidValue);
                   c.*field = n;
                 });
    }
    m.getter(u"GraphicCell", [](PictureClip& c, Args a) {
      c.check_alive();
      c.need_picture();
      int32_t i = to_long(a[0]);
      if (i < 0 || i >= c.rows_ * c.cols_) raise(kInvalidValue);
      int w = c.image_.width() / c.cols_, h = c.image_.height() / c.rows_;
      return c.part(QRect((i % c.cols_) * w, (i / c.cols_) * h, w, h));
    });
    m.getter(u"Clip", [](PictureClip& c, Args) {
      c.check_alive();
      c.need_picture();
      QRect r(c.clip_x_, c.clip_y_, c.clip_width_, c.clip_height_);
      if (r.isEmpty() || !c.image_.rect().contains(r)) raise(kInvalidValue);
      return c.part(r);
    });
  }
  std::u16string type_name() const override { return u"PictureClip"; }

  PictureClip(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<PictureClip, QtControl>(kind, index) {
    attach(new QWidget(parent));
  }
  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<PictureClip*>(&model)) {
      picture_ = m->picture_;
      image_ = m->image_;
      rows_ = m->rows_;
      cols_ = m->cols_;
    }
  }

 private:
  // Rows and Cols: at least one cell each way.
  static void grid(Members<PictureClip>& m, std::u16string_view name, int16_t PictureClip::*field) {
    m.property(name, [field](PictureClip& c, Args) { c.check_alive(); return Variant(c.*field); },
               [field](PictureClip& c, Args, const Variant& v) {
                 c.check_alive();
                 int32_t n = to_long(v);
                 if (n < 1 || n > 32767) raise(kInvalidValue);
                 c.*field = static_cast<int16_t>(n);
               });
  }
  void need_picture() const {
    if (image_.isNull()) raise(drawing_detail::kInvalidPicture, u"Invalid picture");
    if (image_.width() < cols_ || image_.height() < rows_) raise(kInvalidValue);
  }
  Variant part(const QRect& r) const {
    return Variant(static_cast<Object*>(make_ref<Picture>(image_.copy(r)).get()));
  }

  Variant picture_ = Variant::nothing();
  QImage image_;
  int16_t rows_ = 1, cols_ = 1;
  int32_t clip_x_ = 0, clip_y_ = 0, clip_width_ = 0, clip_height_ = 0;
};

}  // namespace

Ref<QtControl> make_picture_clip(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new PictureClip(kind, index, parent));
}

}  // namespace qz
