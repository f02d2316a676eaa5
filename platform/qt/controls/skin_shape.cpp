// SkinShape: a button whose look is a skin: for each of three states (default, hover, down) a
// picture strip and a mask strip whose cells are the animation frames, and a text line drawn
// over the picture. Pixels of the mask that have MaskColor are neither drawn nor hit. Each
// PaintMain shows the next cell of the current state's strips; entering a state starts at its
// cell 0. The button tracks the pointer itself (MouseOver / MouseOut, once per visit).
#include <QBitmap>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/skin_shape.h"
#include "platform/qt/painted_widget.h"
#include "platform/qt/picture.h"

namespace qz {

namespace {

int32_t nearest(double v) { return static_cast<int32_t>(std::lrint(v)); }

// The built-in 16 x 16 image a new button shows: a raised grey square.
QImage default_image() {
  QImage img(16, 16, QImage::Format_RGB32);
  img.fill(QColor(192, 192, 192));
  QPainter p(&img);
  p.setPen(QColor(255, 255, 255));
  p.drawLine(0, 0, 15, 0);
  p.drawLine(0, 0, 0, 15);
  p.setPen(QColor(64, 64, 64));
  p.drawLine(0, 15, 15, 15);
  p.drawLine(15, 0, 15, 15);
  return img;
}

// A picture strip: a picture cut into columns x rows cells, counted row by row from 0.
struct Strip {
  Variant picture = Variant::nothing();
  int columns = 1, rows = 1;

  Picture* pic() const { return picture.is_object() ? as_picture(picture.as_object()) : nullptr; }
  bool has_picture() const {
    Picture* p = pic();
    return p && p->handle() != 0 && !p->image().isNull();
  }
  // Raises 481 when there is no picture to cut.
  QImage cell(int index) const {
    Picture* p = pic();
    if (!p || p->image().isNull()) raise(481, u"Invalid picture");
    const QImage& img = p->image();
    int cw = img.width() / columns, ch = img.height() / rows;
    int i = index % (columns * rows);
    return img.copy((i % columns) * cw, (i / columns) * ch, cw, ch);
  }
};

struct StateText {
  std::u16string text;
  int32_t x = -1, y = -1;
};

class SkinShape final : public NativeObject<SkinShape, QtControl>, public SkinStrips {
 public:
  static void define(Members<SkinShape>& m) {
    define_common_members(m);
    m.method(u"PaintMain", [](SkinShape& s, Args) {
      s.check_alive();
      s.paint_main();
      return Variant();
    });
    m.method(u"Refresh", [](SkinShape& s, Args) {
      s.check_alive();
      s.widget()->repaint();
      return Variant();
    });
    m.property(u"MaskColor", [](SkinShape& s, Args) { return Variant(s.mask_color_); },
               [](SkinShape& s, Args, const Variant& v) {
                 s.check_alive();
                 s.mask_color_ = to_long(v);
                 s.apply_mask();
               });
    m.property(u"BackColor", [](SkinShape& s, Args) { return Variant(s.back_color_); },
               [](SkinShape& s, Args, const Variant& v) {
                 s.check_alive();
                 s.back_color_ = to_long(v);
                 s.widget()->update();
               });
    m.property(u"ForeColor", [](SkinShape& s, Args) { return Variant(s.fore_color_); },
               [](SkinShape& s, Args, const Variant& v) {
                 s.check_alive();
                 s.fore_color_ = to_long(v);
               });
    m.property(u"AutoSize", [](SkinShape& s, Args) { return Variant(s.auto_size_); },
               [](SkinShape& s, Args, const Variant& v) { s.auto_size_ = to_bool(v); });
    m.property(u"AutoDraw", [](SkinShape& s, Args) { return Variant(s.auto_draw_); },
               [](SkinShape& s, Args, const Variant& v) { s.auto_draw_ = to_bool(v); });
    // Putting a picture strip: the default one shows its cell 0 at once and sizes the button.
    strip_property(m, u"Picture", kDefault, [](SkinShape& s) {
      s.shown_ = s.strips_[kDefault].cell(0);
      s.resize_step();
      s.reset_counters();
      s.widget()->update();
    });
    strip_property(m, u"MaskPicture", kDefaultMask, [](SkinShape& s) {
      s.shown_mask_ = s.strips_[kDefaultMask].cell(0);
      s.apply_mask();
    });
    strip_property(m, u"HoverPicture", kHover, [](SkinShape& s) { s.reset_counters(); });
    strip_property(m, u"HoverMaskPicture", kHoverMask, [](SkinShape&) {});
    strip_property(m, u"DownPicture", kDown, [](SkinShape& s) { s.reset_counters(); });
    strip_property(m, u"DownMaskPicture", kDownMask, [](SkinShape&) {});
    // Setting the default text draws it at once, whatever the state; the others wait for a paint.
    m.property(u"Text", [](SkinShape& s, Args) { return Variant(s.texts_[0].text); },
               [](SkinShape& s, Args, const Variant& v) {
                 s.check_alive();
                 s.texts_[0].text = to_u16(v);
                 s.draw_state_text(s.texts_[0]);
               });
    m.property(u"HoverText", [](SkinShape& s, Args) { return Variant(s.texts_[1].text); },
               [](SkinShape& s, Args, const Variant& v) { s.texts_[1].text = to_u16(v); });
    m.property(u"DownText", [](SkinShape& s, Args) { return Variant(s.texts_[2].text); },
               [](SkinShape& s, Args, const Variant& v) { s.texts_[2].text = to_u16(v); });
    const char16_t* positions[] = {u"Text_X_Y", u"HoverText_X_Y", u"DownText_X_Y"};
    for (int i = 0; i < 3; ++i) {
      m.method(positions[i], [i](SkinShape& s, Args a) {
        s.texts_[i].x = to_long(a[0]);
        s.texts_[i].y = to_long(a[1]);
        return Variant();
      });
    }
  }
  std::u16string type_name() const override { return u"SkinShape"; }

  SkinShape(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<SkinShape, QtControl>(kind, index) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) { paint(f); });
    w->setFocusPolicy(Qt::StrongFocus);
    w->setMouseTracking(true);
    attach(w);
    shown_ = default_image();
    shown_mask_ = shown_;
    resize_step();
  }

  void set_strip_cells(int strip, int columns, int rows) override {
    if (strip < 0 || strip >= kStrips || columns < 1 || rows < 1) return;
    strips_[strip].columns = columns;
    strips_[strip].rows = rows;
  }
  int state() const override { return action_; }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<SkinShape*>(&model);
    if (!m) return;
    for (int i = 0; i < kStrips; ++i) strips_[i] = m->strips_[i];
    for (int i = 0; i < 3; ++i) texts_[i] = m->texts_[i];
    shown_ = m->shown_, shown_mask_ = m->shown_mask_, drawn_text_ = m->drawn_text_;
    mask_color_ = m->mask_color_, back_color_ = m->back_color_, fore_color_ = m->fore_color_;
    auto_size_ = m->auto_size_, auto_draw_ = m->auto_draw_;
    apply_mask();
    resize_step();
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched != widget()) return QtControl::on_event(watched, event);
    Ref<SkinShape> keep(this);
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        pressed_inside_ = true;
        std::vector<Variant> a = mouse_event_args(me);
        action_ = 2;
        paint_main();
        if (!destroyed()) raise_event(u"MouseDown", a);
        return false;
      }
      case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        bool inside = pressed_inside_ && widget()->rect().contains(me->position().toPoint());
        pressed_inside_ = false;
        std::vector<Variant> a = mouse_event_args(me);
        captured_ = false;
        action_ = 0;
        paint_main();
        if (!destroyed()) raise_event(u"MouseUp", a);
        if (inside && me->button() == Qt::LeftButton && !destroyed()) raise_event(u"Click");
        return false;
      }
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        std::vector<Variant> a = mouse_event_args(me);
        if (me->buttons() == Qt::NoButton) track_pointer(me->position().toPoint());
        if (!destroyed()) raise_event(u"MouseMove", a);
        return false;
      }
      case QEvent::Resize:
        resize_step();
        return false;
      default:
        return QtControl::on_event(watched, event);
    }
  }

 private:
  static constexpr int kStrips = 6;
  enum { kDefault, kDefaultMask, kHover, kHoverMask, kDown, kDownMask };

  template <class After>
  static void strip_property(Members<SkinShape>& m, std::u16string_view name, int strip, After after) {
    auto put = [strip, after](SkinShape& s, Args, const Variant& v) {
      s.check_alive();
      Variant d = v.deref();
      Picture* p = d.is_object() && d.as_object() ? as_picture(d.as_object()) : nullptr;
      if (!p && !(d.is_empty() || d.is_object())) raise(481, u"Invalid picture");
      s.strips_[strip].picture = p ? Variant(static_cast<Object*>(p)) : Variant::nothing();
      after(s);
    };
    m.property(name, [strip](SkinShape& s, Args) { return s.strips_[strip].picture; }, put);
    m.setter(name, put);
  }

  std::vector<Variant> mouse_event_args(QMouseEvent* me) const {
    QPointF units = to_event_units(me->position());
    Qt::MouseButtons held = me->type() == QEvent::MouseMove ? me->buttons() : Qt::MouseButtons(me->button());
    return {Variant(button_code(held)), Variant(shift_code(me->modifiers())), Variant(static_cast<float>(units.x())),
            Variant(static_cast<float>(units.y()))};
  }

  void reset_counters() { counters_[0] = counters_[1] = counters_[2] = 0; }

  void paint_main() {
    if (destroyed()) return;
    Ref<SkinShape> keep(this);
    raise_event(u"Paint");
    if (destroyed() || action_ < 0 || action_ > 2) return;
    const int s = action_;
    Strip& picture = strips_[s * 2];
    Strip& mask = strips_[s * 2 + 1];
    int32_t& counter = counters_[s];
    // State 0 copies without asking (a strip without a picture makes the step fail); the others
    // only when their strip has a picture.
    if (auto_draw_ && (s == 0 || picture.has_picture())) {
      try {
        shown_ = picture.cell(counter);
        shown_mask_ = mask.cell(counter);
      } catch (...) {
      }
      apply_mask();
    }
    resize_step();
    draw_state_text(texts_[s]);
    ++counter;
    const int cells = picture.columns * picture.rows;
    if (counter >= cells || cells > 0x7FFF) counter = 0;
    for (int other = 0; other < 3; ++other)
      if (other != s) counters_[other] = 0;
  }

  void resize_step() {
    if (!auto_size_ || in_resize_ || destroyed() || shown_.isNull()) return;
    in_resize_ = true;
    widget()->resize(shown_.size());
    in_resize_ = false;
  }

  void draw_state_text(const StateText& t) {
    if (destroyed()) return;
    QFontMetrics metrics(widget()->font());
    const QString text = QString::fromStdU16String(t.text);
    const int32_t cx = nearest(widget()->width() * kTwipsPerPixel / 2.0 -
                               metrics.horizontalAdvance(text) * kTwipsPerPixel / 2.0);
    const int32_t cy = nearest(widget()->height() * kTwipsPerPixel / 2.0 - metrics.height() * kTwipsPerPixel / 2.0);
    drawn_text_ = t.text;
    text_at_ = QPointF((t.x == -1 ? cx : t.x) / double(kTwipsPerPixel), (t.y == -1 ? cy : t.y) / double(kTwipsPerPixel));
    widget()->update();
  }

  // Pixels of the mask with the mask colour are cut out of the window: not drawn, not hit.
  void apply_mask() {
    if (destroyed()) return;
    if (shown_mask_.isNull()) {
      widget()->clearMask();
      return;
    }
    QImage mask = shown_mask_.convertToFormat(QImage::Format_RGB32);
    QBitmap bits = QBitmap::fromImage(mask.createMaskFromColor(to_qcolor(mask_color_).rgb(), Qt::MaskInColor));
    QRegion kept(bits);
    if (kept.isEmpty()) widget()->clearMask();
    else widget()->setMask(kept);
  }

  // Entering takes the capture (so the move that leaves comes here too) and shows the hover
  // state; leaving releases it and shows the default state.
  void track_pointer(QPoint at) {
    const bool over = widget()->rect().contains(at) && (widget()->mask().isEmpty() || widget()->mask().contains(at));
    if (over) {
      if (captured_) return;
      set_capture(this);
      captured_ = true;
      action_ = 1;
      paint_main();
      if (!destroyed()) raise_event(u"MouseOver");
    } else {
      if (capture_holder() == this) release_capture();
      captured_ = false;
      action_ = 0;
      paint_main();
      if (!destroyed()) raise_event(u"MouseOut");
    }
  }

  void paint(QFrame& f) {
    QPainter p(&f);
    p.fillRect(f.rect(), to_qcolor(back_color_));
    p.drawImage(0, 0, shown_);
    if (drawn_text_.empty()) return;
    p.setPen(to_qcolor(fore_color_));
    p.setFont(f.font());
    p.drawText(QPointF(text_at_.x(), text_at_.y() + QFontMetrics(f.font()).ascent()),
               QString::fromStdU16String(drawn_text_));
  }

  Strip strips_[kStrips];
  StateText texts_[3];
  int32_t counters_[3] = {0, 0, 0};
  int32_t action_ = 0;
  bool captured_ = false, in_resize_ = false, auto_size_ = true, auto_draw_ = true;
  int32_t mask_color_ = 0xFF00FF, back_color_ = 0xC0C0C0, fore_color_ = 0;
  QImage shown_, shown_mask_;
  std::u16string drawn_text_;
  QPointF text_at_;
};

}  // namespace

Ref<QtControl> make_skin_shape(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new SkinShape(kind, index, parent));
}

}  // namespace qz
