#include "platform/qt/canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "com/error.h"
#include "platform/qt/qt_control.h"
#include "platform/window/window_system.h"

namespace qz {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// A window larger than this is refused its image (64 Mi pixels, 256 MiB): the drawing then
// clips to the part that fits.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t{1} << 26;
// A character of ScaleMode 4 is 120 twips wide and 240 high.
constexpr double kTwipsPerCharX = 120, kTwipsPerCharY = 240;

// Units of a fixed ScaleMode per pixel, on the screen's 96 pixels an inch.
double fixed_units_per_pixel(int16_t unit, bool vertical) {
  switch (unit) {
    case kScaleTwips: return kTwipsPerPixel;
    case kScalePoints: return 72.0 / 96;
    case kScalePixels: return 1;
    case kScaleCharacters: return kTwipsPerPixel / (vertical ? kTwipsPerCharY : kTwipsPerCharX);
    case kScaleInches: return 1.0 / 96;
    case kScaleMillimeters: return 25.4 / 96;
    case kScaleCentimeters: return 2.54 / 96;
    case kScaleHimetric: return 2540.0 / 96;
    default: return 0;
  }
}

// The pixel a coordinate falls in: pixel k holds [k, k+1). The small bias keeps values that
// should be whole numbers (150 twips / 15) from landing one pixel short.
int pixel_of(double v) {
  double f = std::floor(v + 1e-7);
  return static_cast<int>(std::clamp(f, -1e8, 1e8));
}

// The raster operations of DrawMode 1..16 (index = mode - 1).
QPainter::CompositionMode draw_mode_op(int16_t mode) {
  static const QPainter::CompositionMode ops[16] = {
      QPainter::RasterOp_ClearDestination,           // 1 blackness
      QPainter::RasterOp_NotSourceAndNotDestination, // 2 not merge pen
      QPainter::RasterOp_NotSourceAndDestination,    // 3 mask not pen
      QPainter::RasterOp_NotSource,                  // 4 not copy pen
      QPainter::RasterOp_SourceAndNotDestination,    // 5 mask pen not
      QPainter::RasterOp_NotDestination,             // 6 invert
      QPainter::RasterOp_SourceXorDestination,       // 7 xor pen
      QPainter::RasterOp_NotSourceOrNotDestination,  // 8 not mask pen
      QPainter::RasterOp_SourceAndDestination,       // 9 mask pen
      QPainter::RasterOp_NotSourceXorDestination,    // 10 not xor pen
      QPainter::CompositionMode_Destination,         // 11 no operation
      QPainter::RasterOp_NotSourceOrDestination,     // 12 merge not pen
      QPainter::CompositionMode_Source,              // 13 copy pen
      QPainter::RasterOp_SourceOrNotDestination,     // 14 merge pen not
      QPainter::RasterOp_SourceOrDestination,        // 15 merge pen
      QPainter::RasterOp_SetDestination,             // 16 whiteness
  };
  return ops[std::clamp<int>(mode, 1, 16) - 1];
}

// PaintPicture's raster operation codes.
QPainter::CompositionMode picture_op(int32_t code) {
  switch (static_cast<uint32_t>(code)) {
    case 0x00EE0086: return QPainter::RasterOp_SourceOrDestination;         // SRCPAINT
    case 0x008800C6: return QPainter::RasterOp_SourceAndDestination;        // SRCAND
    case 0x00660046: return QPainter::RasterOp_SourceXorDestination;        // SRCINVERT
    case 0x00440328: return QPainter::RasterOp_SourceAndNotDestination;     // SRCERASE
    case 0x00330008: return QPainter::RasterOp_NotSource;                   // NOTSRCCOPY
    case 0x001100A6: return QPainter::RasterOp_NotSourceAndNotDestination;  // NOTSRCERASE
    case 0x00BB0226: return QPainter::RasterOp_NotSourceOrDestination;      // MERGEPAINT
    case 0x00550009: return QPainter::RasterOp_NotDestination;              // DSTINVERT
    case 0x00000042: return QPainter::RasterOp_ClearDestination;            // BLACKNESS
    case 0x00FF0062: return QPainter::RasterOp_SetDestination;              // WHITENESS
    // SRCCOPY and the rest; transparent parts of an icon stay transparent.
    default: return QPainter::CompositionMode_SourceOver;
  }
}

// Lines of Print's text: CR, LF and CRLF each end one.
std::vector<QString> text_lines(std::u16string_view text) {
  std::vector<QString> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'\r' || text[i] == u'\n') {
      lines.push_back(QString::fromUtf16(text.data() + start, static_cast<qsizetype>(i - start)));
      if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
      start = i + 1;
    }
  }
  return lines;
}

// An angle of Circle reduced to one turn; its sign only says "draw the radius".
double turn(double a) {
  double r = std::fmod(std::fabs(a), kTwoPi);
  return std::isfinite(r) ? r : 0;
}

}  // namespace

Qt::PenStyle draw_style_pen(int16_t style) {
  static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                        Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
  return style >= 0 && style <= 6 ? styles[style] : Qt::SolidLine;
}

Qt::BrushStyle fill_style_brush(int16_t style) {
  switch (style) {
    case 0: return Qt::SolidPattern;
    case 2: return Qt::HorPattern;
    case 3: return Qt::VerPattern;
    case 4: return Qt::BDiagPattern;   // upward diagonal
    case 5: return Qt::FDiagPattern;   // downward diagonal
    case 6: return Qt::CrossPattern;
    case 7: return Qt::DiagCrossPattern;
    default: return Qt::NoBrush;
  }
}

Canvas::Canvas(int width_px, int height_px) {
  resize(width_px, height_px);
  dirty_ = false;  // the first statement tells the window
}

Canvas::~Canvas() { end_painter(); }

// ---- backing image ----

void Canvas::resize(int width_px, int height_px) {
  width_px = std::clamp(width_px, 0, kMaxSide);
  height_px = std::clamp(height_px, 0, kMaxSide);
  if (int64_t{width_px} * height_px > kMaxPixels) height_px = static_cast<int>(kMaxPixels / std::max(width_px, 1));
  if (!image_.isNull() && image_.width() == width_px && image_.height() == height_px) return;
  end_painter();
  QImage old = std::move(image_);
  image_ = QImage(width_px, height_px, QImage::Format_RGB32);
  if (image_.isNull()) {  // out of memory: nothing to draw on rather than a crash
    image_ = QImage();
    return;
  }
  fill_background(image_.rect());
  if (!old.isNull()) {
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, old);
    applied_mode_ = -1;
  }
  touched();
}

const QImage& Canvas::image() {
  end_painter();
  dirty_ = false;
  return image_;
}

void Canvas::paint(QPainter& p) {
  end_painter();
  dirty_ = false;
  p.drawImage(0, 0, image_);
}

void Canvas::set_picture(const QImage& picture) {
  picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  fill_background(image_.rect());
}

void Canvas::fill_background(const QRect& r) {
  if (image_.isNull()) return;
  QPainter& p = painter();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(r, QColor::fromRgb(rgb(back_)));
  if (!picture_.isNull()) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(0, 0, picture_);
  }
  applied_mode_ = -1;
  touched();
}

QPainter& Canvas::painter() {
  if (!painter_) painter_ = std::make_unique<QPainter>();
  if (!painter_->isActive()) {
    painter_->begin(&image_);
    pen_valid_ = false;
    applied_mode_ = -1;
    painter_->setFont(font_);
  }
  return *painter_;
}

void Canvas::end_painter() {
  if (painter_ && painter_->isActive()) painter_->end();
}

void Canvas::touched() {
  if (dirty_) return;
  dirty_ = true;
  if (changed_) changed_();
}

uint32_t Canvas::rgb(int32_t color) const {
  auto c = static_cast<uint32_t>(color);
  if ((c & 0xFF000000u) == 0x80000000u) return to_qcolor(color).rgb() | 0xFF000000u;
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

QFontMetricsF Canvas::metrics() const {
  return image_.isNull() ? QFontMetricsF(font_) : QFontMetricsF(font_, &image_);
}

void Canvas::apply_pen(int32_t color) {
  QPainter& p = painter();
  uint32_t c = rgb(color);
  if (pen_valid_ && pen_rgb_ == c) return;
  QPen pen{QColor::fromRgb(c)};
  pen.setWidth(draw_width_);
  pen.setCosmetic(true);
  // Dashes are for thin lines only; a wide pen draws solid.
  Qt::PenStyle style = draw_style_pen(draw_style_);
  if (draw_width_ > 1 && style != Qt::NoPen) style = Qt::SolidLine;
  pen.setStyle(style);
  pen.setCapStyle(draw_width_ > 1 ? Qt::RoundCap : Qt::SquareCap);
  pen.setJoinStyle(draw_width_ > 1 ? Qt::RoundJoin : Qt::MiterJoin);
  p.setPen(pen);
  pen_rgb_ = c;
  pen_valid_ = true;
}

void Canvas::apply_mode() {
  QPainter& p = painter();
  if (applied_mode_ == draw_mode_) return;
  p.setCompositionMode(draw_mode_op(draw_mode_));
  applied_mode_ = draw_mode_;
}

// ---- scale ----

double Canvas::units_per_pixel_x() const {
  if (mode_ == kScaleUser) return user_width_ / std::max(image_.width(), 1);
  return fixed_units_per_pixel(mode_, false);
}

double Canvas::units_per_pixel_y() const {
  if (mode_ == kScaleUser) return user_height_ / std::max(image_.height(), 1);
  return fixed_units_per_pixel(mode_, true);
}

void Canvas::set_scale_mode(int16_t mode) {
  if (mode < kScaleUser || mode > kScaleCentimeters) raise(380);  // Invalid property value
  if (mode == mode_) return;
  if (mode == kScaleUser) {
    // The user scale starts as the one in use.
    user_width_ = scale_width();
    user_height_ = scale_height();
  } else {
    left_ = top_ = 0;
  }
  mode_ = mode;
}

double Canvas::scale_width() const {
  return mode_ == kScaleUser ? user_width_ : image_.width() * units_per_pixel_x();
}

double Canvas::scale_height() const {
  return mode_ == kScaleUser ? user_height_ : image_.height() * units_per_pixel_y();
}

void Canvas::set_scale_left(double v) {
  set_scale_mode(kScaleUser);
  left_ = v;
}

void Canvas::set_scale_top(double v) {
  set_scale_mode(kScaleUser);
  top_ = v;
}

void Canvas::set_scale_width(double v) {
  if (v == 0 || !std::isfinite(v)) raise(380);
  set_scale_mode(kScaleUser);
  user_width_ = v;
}

void Canvas::set_scale_height(double v) {
  if (v == 0 || !std::isfinite(v)) raise(380);
  set_scale_mode(kScaleUser);
  user_height_ = v;
}

void Canvas::scale(double x1, double y1, double x2, double y2) {
  double w = x2 - x1, h = y2 - y1;
  if (w == 0 || h == 0 || !std::isfinite(w) || !std::isfinite(h)) raise(kErrIllegalCall);
  mode_ = kScaleUser;
  left_ = x1;
  top_ = y1;
  user_width_ = w;
  user_height_ = h;
}

void Canvas::reset_scale() {
  mode_ = kScaleTwips;
  left_ = top_ = 0;
}

double Canvas::scale_x(double value, int16_t from, int16_t to) const {
  auto per_pixel = [this](int16_t unit) {
    if (unit == kScaleUser) return units_per_pixel_x();
    double u = fixed_units_per_pixel(unit, false);
    if (u == 0) raise(kErrIllegalCall);
    return u;
  };
  return value / per_pixel(from) * per_pixel(to);
}

double Canvas::scale_y(double value, int16_t from, int16_t to) const {
  auto per_pixel = [this](int16_t unit) {
    if (unit == kScaleUser) return units_per_pixel_y();
    double u = fixed_units_per_pixel(unit, true);
    if (u == 0) raise(kErrIllegalCall);
    return u;
  };
  return value / per_pixel(from) * per_pixel(to);
}

QPointF Canvas::to_pixels(double x, double y) const {
  return {(x - left_) / units_per_pixel_x(), (y - top_) / units_per_pixel_y()};
}

QPointF Canvas::from_pixels(QPointF px) const {
  return {left_ + px.x() * units_per_pixel_x(), top_ + px.y() * units_per_pixel_y()};
}

// ---- drawing state ----

void Canvas::set_back_color(int32_t c) {
  back_ = c;
  fill_background(image_.rect());
}

void Canvas::set_fill_style(int16_t s) {
  if (s < 0 || s > 7) raise(380);
  fill_style_ = s;
}

void Canvas::set_draw_width(int16_t w) {
  if (w < 1) raise(380);
  draw_width_ = w;
  pen_valid_ = false;
}

void Canvas::set_draw_style(int16_t s) {
  if (s < 0 || s > 6) raise(380);
  draw_style_ = s;
  pen_valid_ = false;
}

void Canvas::set_draw_mode(int16_t m) {
  if (m < 1 || m > 16) raise(380);
  draw_mode_ = m;
}

void Canvas::set_font(const QFont& f) {
  font_ = f;
  if (painter_ && painter_->isActive()) painter_->setFont(font_);
}

// ---- statements ----

void Canvas::line(std::optional<QPointF> from, bool step_from, QPointF to, bool step_to, std::optional<int32_t> color,
                  LineShape shape) {
  QPointF cur(cur_x_, cur_y_);
  QPointF a = from ? (step_from ? cur + *from : *from) : cur;
  QPointF b = step_to ? a + to : to;
  cur_x_ = b.x();
  cur_y_ = b.y();
  if (image_.isNull()) return;
  QPointF pa = to_pixels(a.x(), a.y()), pb = to_pixels(b.x(), b.y());
  QPoint p1(pixel_of(pa.x()), pixel_of(pa.y())), p2(pixel_of(pb.x()), pixel_of(pb.y()));
  int32_t c = color.value_or(fore_);
  QPainter& p = painter();
  apply_mode();
  if (shape == LineShape::kLine) {
    apply_pen(c);
    p.drawLine(p1, p2);
  } else {
    // Both corners inside, whichever way round they were given.
    QRect box(QPoint(std::min(p1.x(), p2.x()), std::min(p1.y(), p2.y())),
              QPoint(std::max(p1.x(), p2.x()), std::max(p1.y(), p2.y())));
    if (shape == LineShape::kFilledBox) {
      p.fillRect(box, QColor::fromRgb(rgb(c)));
    } else {
      if (fill_style_ != 1) p.fillRect(box, QBrush(QColor::fromRgb(rgb(fill_color_)), fill_style_brush(fill_style_)));
      apply_pen(c);
      p.setBrush(Qt::NoBrush);
      // An aliased outline of a w x h rectangle covers w + 1 x h + 1 pixels.
      p.drawRect(box.adjusted(0, 0, -1, -1));
    }
  }
  touched();
}

void Canvas::circle(QPointF centre, bool step, double radius, std::optional<int32_t> color, std::optional<double> start,
                    std::optional<double> end, std::optional<double> aspect) {
  QPointF c = step ? QPointF(cur_x_, cur_y_) + centre : centre;
  cur_x_ = c.x();
  cur_y_ = c.y();
  if (image_.isNull()) return;
  QPointF pc = to_pixels(c.x(), c.y());
  QPointF centre_px(pixel_of(pc.x()), pixel_of(pc.y()));
  double r = std::fabs(radius / units_per_pixel_x());
  double asp = aspect ? std::fabs(*aspect) : 1.0;
  if (!std::isfinite(r) || !std::isfinite(asp) || r > 1e6) return;
  double rx = asp <= 1 ? r : r / asp;
  double ry = asp <= 1 ? r * asp : r;
  QRectF rect(centre_px.x() - rx, centre_px.y() - ry, 2 * rx, 2 * ry);

  QPainter& p = painter();
  apply_mode();
  apply_pen(color.value_or(fore_));
  QBrush fill = fill_style_ == 1 ? QBrush(Qt::NoBrush)
                                 : QBrush(QColor::fromRgb(rgb(fill_color_)), fill_style_brush(fill_style_));
  if (!start && !end) {
    p.setBrush(fill);
    p.drawEllipse(rect);
  } else {
    double s = start.value_or(0), e = end.value_or(kTwoPi);
    bool radius_s = s < 0, radius_e = e < 0;
    s = turn(s);
    e = turn(e);
    double span = e - s;
    if (span <= 0) span += kTwoPi;
    // Qt counts sixteenths of a degree, counter-clockwise on the screen like the statement.
    int a16 = static_cast<int>(std::lround(s * 180 / std::numbers::pi * 16));
    int span16 = static_cast<int>(std::lround(span * 180 / std::numbers::pi * 16));
    if (radius_s && radius_e) {
      p.setBrush(fill);
      p.drawPie(rect, a16, span16);
    } else {
      p.drawArc(rect, a16, span16);
      auto rim = [&](double a) { return QPointF(centre_px.x() + rx * std::cos(a), centre_px.y() - ry * std::sin(a)); };
      if (radius_s) p.drawLine(centre_px, rim(s));
      if (radius_e) p.drawLine(centre_px, rim(e));
    }
  }
  p.setBrush(Qt::NoBrush);
  touched();
}

void Canvas::pset(QPointF at, bool step, std::optional<int32_t> color) {
  QPointF pt = step ? QPointF(cur_x_, cur_y_) + at : at;
  cur_x_ = pt.x();
  cur_y_ = pt.y();
  if (image_.isNull()) return;
  QPointF px = to_pixels(pt.x(), pt.y());
  int x = pixel_of(px.x()), y = pixel_of(px.y());
  uint32_t c = rgb(color.value_or(fore_));
  if (draw_width_ == 1 && draw_mode_ == 13) {
    // The common case goes straight to the pixel: no painter call per point.
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = c;
  } else {
    QPainter& p = painter();
    apply_mode();
    if (draw_width_ == 1) {
      p.fillRect(QRect(x, y, 1, 1), QColor::fromRgb(c));
    } else {
      p.setPen(Qt::NoPen);
      pen_valid_ = false;
      p.setBrush(QColor::fromRgb(c));
      double r = draw_width_ / 2.0;
      p.drawEllipse(QRectF(x + 0.5 - r, y + 0.5 - r, draw_width_, draw_width_));
      p.setBrush(Qt::NoBrush);
    }
  }
  touched();
}

int32_t Canvas::point(double x, double y) {
  QPointF px = to_pixels(x, y);
  int ix = pixel_of(px.x()), iy = pixel_of(px.y());
  if (image_.isNull() || ix < 0 || iy < 0 || ix >= image_.width() || iy >= image_.height()) return -1;
  QRgb c = reinterpret_cast<const QRgb*>(image_.constScanLine(iy))[ix];
  return static_cast<int32_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

void Canvas::print(std::u16string_view text, bool new_line) {
  std::vector<QString> lines = text_lines(text);
  QFontMetricsF fm = metrics();
  double line_px = fm.height();
  double upx = units_per_pixel_x(), upy = units_per_pixel_y();
  QPointF at = to_pixels(cur_x_, cur_y_);
  double left_px = to_pixels(left_, top_).x();
  double last_width = 0;
  if (!image_.isNull()) {
    QPainter& p = painter();
    // Text is drawn over what is there whatever DrawMode says.
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    applied_mode_ = -1;
    p.setPen(QColor::fromRgb(rgb(fore_)));
    pen_valid_ = false;
    for (size_t i = 0; i < lines.size(); ++i) {
      double x = i == 0 ? at.x() : left_px;
      if (!lines[i].isEmpty()) p.drawText(QPointF(x, at.y() + i * line_px + fm.ascent()), lines[i]);
    }
    touched();
  }
  last_width = fm.horizontalAdvance(lines.back());
  double rows = static_cast<double>(lines.size() - 1);
  if (new_line) {
    cur_x_ = left_;
    cur_y_ += (rows + 1) * line_px * upy;
  } else {
    cur_x_ = lines.size() > 1 ? left_ + last_width * upx : cur_x_ + last_width * upx;
    cur_y_ += rows * line_px * upy;
  }
}

void Canvas::next_print_zone() {
  QFontMetricsF fm = metrics();
  double zone = 14 * fm.averageCharWidth();
  if (zone <= 0) return;
  double x = (cur_x_ - left_) / units_per_pixel_x();
  cur_x_ = left_ + (std::floor(x / zone + 1e-9) + 1) * zone * units_per_pixel_x();
}

void Canvas::cls() {
  fill_background(image_.rect());
  cur_x_ = cur_y_ = 0;
}

double Canvas::text_width(std::u16string_view text) const {
  QFontMetricsF fm = metrics();
  double widest = 0;
  for (const QString& l : text_lines(text)) widest = std::max(widest, fm.horizontalAdvance(l));
  return widest * units_per_pixel_x();
}

double Canvas::text_height(std::u16string_view text) const {
  QFontMetricsF fm = metrics();
  return fm.height() * static_cast<double>(text_lines(text).size()) * units_per_pixel_y();
}

void Canvas::paint_picture(const QImage& picture, double x1, double y1, std::optional<double> width1,
                           std::optional<double> height1, std::optional<double> x2, std::optional<double> y2,
                           std::optional<double> width2, std::optional<double> height2, std::optional<int32_t> opcode) {
  if (picture.isNull() || image_.isNull()) return;
  double upx = units_per_pixel_x(), upy = units_per_pixel_y();
  // Source part in the picture's pixels; sizes in the current scale, signs mirror.
  double sx = x2 ? *x2 / upx : 0, sy = y2 ? *y2 / upy : 0;
  double sw = width2 ? *width2 / upx : picture.width() - sx;
  double sh = height2 ? *height2 / upy : picture.height() - sy;
  // The destination size defaults to the source part's: no stretching.
  double dw = width1 ? *width1 / upx : sw;
  double dh = height1 ? *height1 / upy : sh;
  for (double v : {sx, sy, sw, sh, dw, dh})
    if (!std::isfinite(v) || std::fabs(v) > 1e6) raise(kErrIllegalCall);
  QPointF d = to_pixels(x1, y1);
  bool flip_x = (dw < 0) != (sw < 0), flip_y = (dh < 0) != (sh < 0);
  QRectF src = QRectF(sx, sy, sw, sh).normalized();
  QRectF dst = QRectF(d.x(), d.y(), dw, dh).normalized();
  if (src.isEmpty() || dst.isEmpty()) return;
  QImage part = picture.copy(src.toAlignedRect());
  if (flip_x || flip_y) part = part.mirrored(flip_x, flip_y);
  QPainter& p = painter();
  p.setCompositionMode(picture_op(opcode.value_or(0x00CC0020)));
  applied_mode_ = -1;
  p.drawImage(dst, part, QRectF(part.rect()));
  touched();
}

}  // namespace qz
