// ProgressBar: a horizontal bar that draws itself into a buffer (background colour, an optional
// background picture combined by copy/OR/AND, a centred text, the filled part combined with
// what lies under it by one of the sixteen binary raster operations, an optional edge) and
// shows the buffer. Only BarProcent redraws by itself; after other properties the script calls
// Refresh (a resize or a show redraws too).
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/qt/control_registry.h"
#include "platform/qt/painted_widget.h"
#include "platform/qt/picture.h"
#include "platform/qt/raster_ops.h"

namespace qz {

namespace {

int32_t nearest(double v) { return static_cast<int32_t>(std::lrint(v)); }

class ProgressBar final : public NativeObject<ProgressBar, QtControl> {
 public:
  static void define(Members<ProgressBar>& m) {
    define_common_members(m);
    m.method(u"Refresh", [](ProgressBar& p, Args) {
      p.check_alive();
      p.refresh();
      return Variant();
    });
    int16_field(m, u"BarFonON", &ProgressBar::fon_on_);
    int16_field(m, u"BarTextSize", &ProgressBar::text_size_, [](ProgressBar& p) { p.buffer_font_size_ = p.text_size_; });
    int16_field(m, u"BarFonType", &ProgressBar::fon_type_);
    int16_field(m, u"BarBorder", &ProgressBar::border_);
    int16_field(m, u"BarBorderType1", &ProgressBar::border_type1_);
    int16_field(m, u"BarBorderType2", &ProgressBar::border_type2_);
    int16_field(m, u"BarTextBold", &ProgressBar::text_bold_);
    int16_field(m, u"BarTextZoom", &ProgressBar::text_zoom_, [](ProgressBar& p) { p.apply_text_zoom(); });
    int16_field(m, u"BarTextScroll", &ProgressBar::text_scroll_);
    int16_field(m, u"BarTextOff", &ProgressBar::text_off_);
    int16_field(m, u"BackStyle", &ProgressBar::back_style_);
    color_field(m, u"BarColor", &ProgressBar::bar_color_);
    color_field(m, u"BarBackColor", &ProgressBar::back_color_);
    color_field(m, u"BarTextColor", &ProgressBar::text_color_);
    color_field(m, u"MaskColor", &ProgressBar::mask_color_);
    m.property(u"BarText", [](ProgressBar& p, Args) { return Variant(p.text_); },
               [](ProgressBar& p, Args, const Variant& v) { p.text_ = to_u16(v); });
    // A face the font system does not know leaves the stored name as it was.
    m.property(u"BarTextFontName", [](ProgressBar& p, Args) { return Variant(p.font_name_); },
               [](ProgressBar& p, Args, const Variant& v) {
                 std::u16string name = to_u16(v);
                 if (!name.empty()) p.font_name_ = name;
               });
    m.property(u"BarProcent", [](ProgressBar& p, Args) { return Variant(p.procent_); },
               [](ProgressBar& p, Args, const Variant& v) {
                 p.check_alive();
                 p.procent_ = std::clamp<int16_t>(to_integer(v), 0, 100);
                 p.refresh();
               });
    picture_field(m, u"Picture", &ProgressBar::background_);
    picture_field(m, u"MaskPicture", &ProgressBar::mask_picture_);
  }
  std::u16string type_name() const override { return u"ProgressBar"; }

  ProgressBar(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<ProgressBar, QtControl>(kind, index) {
    auto* w = new PaintedWidget(parent, [this](QFrame& f) {
      QPainter painter(&f);
      painter.drawImage(0, 0, shown_);
    });
    w->setFocusPolicy(Qt::StrongFocus);
    w->setMouseTracking(true);
    attach(w);
    apply_text_zoom();
    refresh();
  }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<ProgressBar*>(&model);
    if (!m) return;
    Variant keep_background = background_, keep_mask = mask_picture_;
    fon_on_ = m->fon_on_, text_size_ = m->text_size_, fon_type_ = m->fon_type_, border_ = m->border_;
    border_type1_ = m->border_type1_, border_type2_ = m->border_type2_, text_bold_ = m->text_bold_;
    text_zoom_ = m->text_zoom_, text_scroll_ = m->text_scroll_, text_off_ = m->text_off_;
    back_style_ = m->back_style_, bar_color_ = m->bar_color_, back_color_ = m->back_color_;
    text_color_ = m->text_color_, mask_color_ = m->mask_color_, text_ = m->text_, font_name_ = m->font_name_;
    procent_ = m->procent_, buffer_font_size_ = m->buffer_font_size_;
    background_ = m->background_, mask_picture_ = m->mask_picture_;
    apply_text_zoom();
    refresh();
  }

  bool on_event(QObject* watched, QEvent* event) override {
    if (watched == widget()) {
      if (event->type() == QEvent::Resize) {
        apply_text_zoom();
        refresh();
      } else if (event->type() == QEvent::Show) {
        refresh();
      }
    }
    return QtControl::on_event(watched, event);
  }

 private:
  template <class Hook = void (*)(ProgressBar&)>
  static void int16_field(Members<ProgressBar>& m, std::u16string_view name, int16_t ProgressBar::*field,
                          Hook after = [](ProgressBar&) {}) {
    m.property(name, [field](ProgressBar& p, Args) { return Variant(p.*field); },
               [field, after](ProgressBar& p, Args, const Variant& v) {
                 p.*field = to_integer(v);
                 after(p);
               });
  }
  static void color_field(Members<ProgressBar>& m, std::u16string_view name, int32_t ProgressBar::*field) {
    m.property(name, [field](ProgressBar& p, Args) { return Variant(p.*field); },
               [field](ProgressBar& p, Args, const Variant& v) { p.*field = to_long(v); });
  }
  static void picture_field(Members<ProgressBar>& m, std::u16string_view name, Variant ProgressBar::*field) {
    auto put = [field](ProgressBar& p, Args, const Variant& v) {
      Variant d = v.deref();
      if (d.is_empty() || (d.is_object() && !d.as_object())) {
        p.*field = Variant::nothing();
        return;
      }
      Picture* pic = d.is_object() ? as_picture(d.as_object()) : nullptr;
      if (!pic) raise(481, u"Invalid picture");
      p.*field = Variant(static_cast<Object*>(pic));
    };
    m.property(name, [field](ProgressBar& p, Args) { return p.*field; }, put);
    m.setter(name, put);
  }

  // The buffer is 30 twips (2 pixels) larger than the control each way, as the design had it.
  int buffer_width_twips() const { return widget()->width() * kTwipsPerPixel + 30; }
  int buffer_height_twips() const { return widget()->height() * kTwipsPerPixel + 30; }

  // With zoom on, the font follows the buffer's size in twips: its height / 40 points, or its
  // width / 50 when it is not wider than high.
  void apply_text_zoom() {
    if (text_zoom_ == 0 || destroyed()) return;
    int w = buffer_width_twips(), h = buffer_height_twips();
    buffer_font_size_ = static_cast<int16_t>(w > h ? h / 40 : w / 50);
  }

  QImage background_image(QSize size) const {
    QImage fon(size, QImage::Format_RGB32);
    fon.fill(QColor(240, 240, 240));  // an empty picture box shows the button face
    if (Picture* p = background_.is_object() ? as_picture(background_.as_object()) : nullptr) {
      QPainter painter(&fon);
      painter.drawImage(0, 0, p->image());
    }
    return fon;
  }

  void refresh() {
    if (destroyed()) return;
    const int wpx = widget()->width(), hpx = widget()->height();
    const int buf_w = buffer_width_twips(), buf_h = buffer_height_twips();
    QImage buf(std::max(1, buf_w / kTwipsPerPixel), std::max(1, buf_h / kTwipsPerPixel), QImage::Format_RGB32);
    buf.setDotsPerMeterX(3780);  // 96 dots an inch, so points come out as the platform's pixels
    buf.setDotsPerMeterY(3780);

    std::u16string text = text_;
    if (text.empty()) {
      for (char c : std::to_string(procent_)) text.push_back(static_cast<char16_t>(c));
      text += u" %";
    }
    const int32_t bar_w = nearest(static_cast<float>(buf_w) / 100.0f * static_cast<float>(procent_));
    buf.fill(to_qcolor(back_color_));

    QFont font(QString::fromStdU16String(font_name_));
    font.setPointSize(std::max<int16_t>(1, buffer_font_size_));
    font.setBold(text_bold_ != 0);
    QFontMetrics metrics(font, &buf);
    const QString qtext = QString::fromStdU16String(text);
    const int32_t tw = nearest(metrics.horizontalAdvance(qtext) * kTwipsPerPixel);
    const int32_t th = nearest(metrics.height() * kTwipsPerPixel);
    const int32_t tx = text_scroll_ != 0 ? nearest(bar_w / 2.0 - tw / 2.0) : nearest(buf_w / 2.0 - tw / 2.0);
    const int32_t ty = nearest(buf_h / 2.0 - th / 2.0);

    if (fon_on_ >= 1 && fon_on_ <= 3) {
      static const RasterOp kBlits[] = {RasterOp::Copy, RasterOp::Or, RasterOp::And};
      blit(buf, background_image(QSize(wpx, hpx)), QRect(0, 0, wpx, hpx), kBlits[fon_on_ - 1]);
    }
    if (text_off_ == 0) {
      QPainter painter(&buf);
      painter.setFont(font);
      painter.setPen(to_qcolor(text_color_));
      painter.drawText(QPointF(tx / double(kTwipsPerPixel), ty / double(kTwipsPerPixel) + metrics.ascent()), qtext);
    }
    // The filled part never leaves the buffer, whatever the percentage.
    fill_with_mode(buf, QRect(0, 0, std::clamp(bar_w / kTwipsPerPixel, 0, buf.width()), buf.height()),
                   to_qcolor(bar_color_), fon_type_);
    if (border_ != 0) {
      const QColor pen = to_qcolor(text_color_);
      const int r = std::min(wpx, buf.width()) - 1, b = std::min(hpx, buf.height()) - 1;
      if (r >= 0 && b >= 0) {
        fill_with_mode(buf, QRect(0, 0, r + 1, 1), pen, fon_type_);
        fill_with_mode(buf, QRect(0, b, r + 1, 1), pen, fon_type_);
        fill_with_mode(buf, QRect(0, 1, 1, b - 1), pen, fon_type_);
        fill_with_mode(buf, QRect(r, 1, 1, b - 1), pen, fon_type_);
      }
      draw_edge(buf, QRect(0, 0, wpx, hpx), border_type1_, border_type2_);
    }
    shown_ = buf;
    widget()->update();
  }

  int16_t fon_on_ = 0, text_size_ = 12, fon_type_ = 10, border_ = 0, border_type1_ = 2, border_type2_ = 15;
  int16_t text_bold_ = 0, text_zoom_ = 1, text_scroll_ = 0, text_off_ = 0, procent_ = 0, back_style_ = 1;
  int16_t buffer_font_size_ = 12;
  int32_t bar_color_ = 0xFF0000, back_color_ = 0xFFFFFF, text_color_ = 0xFF0000, mask_color_ = 0xC0C0C0;
  std::u16string text_, font_name_ = u"Arial";
  Variant background_ = Variant::nothing(), mask_picture_ = Variant::nothing();
  QImage shown_;
};

}  // namespace

Ref<QtControl> make_progress_bar(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new ProgressBar(kind, index, parent));
}

}  // namespace qz
