#include "platform/qt/gdi/gdi_drawing.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "platform/qt/gdi/device_contexts.h"

namespace qz {

namespace {

// Larger fills are refused rather than allocated: no target is bigger than this.
constexpr int kMaxSide = 16384;

QRect rect_of(PixelRect r) { return QRect(r.x, r.y, r.width, r.height); }

bool sane(PixelRect r) {
  return std::abs(r.width) <= kMaxSide && std::abs(r.height) <= kMaxSide && std::abs(r.x) <= (1 << 24) &&
         std::abs(r.y) <= (1 << 24);
}

QRgb vertex_rgb(const GradientVertex& v) { return qRgb(v.red >> 8, v.green >> 8, v.blue >> 8); }

QPainter::CompositionMode raster_op(int32_t rop) {
  switch (static_cast<uint32_t>(rop)) {
    case 0x00EE0086:
      return QPainter::RasterOp_SourceOrDestination;  // SRCPAINT
    case 0x008800C6:
      return QPainter::RasterOp_SourceAndDestination;  // SRCAND
    case 0x00660046:
      return QPainter::RasterOp_SourceXorDestination;  // SRCINVERT
    case 0x00440328:
      return QPainter::RasterOp_SourceAndNotDestination;  // SRCERASE
    case 0x00330008:
      return QPainter::RasterOp_NotSource;  // NOTSRCCOPY
    case 0x001100A6:
      return QPainter::RasterOp_NotSourceAndNotDestination;  // NOTSRCERASE
    case 0x00BB0226:
      return QPainter::RasterOp_NotSourceOrDestination;  // MERGEPAINT
    case 0x00550009:
      return QPainter::RasterOp_NotDestination;  // DSTINVERT
    case 0x00000042:
      return QPainter::RasterOp_ClearDestination;  // BLACKNESS
    case 0x00FF0062:
      return QPainter::RasterOp_SetDestination;  // WHITENESS
    default:
      return QPainter::CompositionMode_Source;  // SRCCOPY
  }
}

// The source part, stretched to the destination's size and mirrored for negative sizes.
QImage source_part(DeviceContext src, PixelRect src_rect, PixelRect dst_rect) {
  QImage from = device_context_image(src);
  if (from.isNull()) return QImage();
  QImage part = from.copy(rect_of(src_rect).normalized()).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (part.isNull()) return QImage();
  bool flip_x = (src_rect.width < 0) != (dst_rect.width < 0);
  bool flip_y = (src_rect.height < 0) != (dst_rect.height < 0);
  if (flip_x || flip_y) part = part.mirrored(flip_x, flip_y);
  QSize size(std::abs(dst_rect.width), std::abs(dst_rect.height));
  if (part.size() != size) part = part.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return part;
}

}  // namespace

uint32_t argb_of(int32_t color) {
  auto c = static_cast<uint32_t>(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

int32_t color_of(QRgb argb) { return qRed(argb) | (qGreen(argb) << 8) | (qBlue(argb) << 16); }

bool draw_polygon(DeviceContext dc, const std::vector<PixelPoint>& points) {
  DcTools tools;
  if (!device_context_tools(dc, tools) || points.size() < 2) return false;
  QPolygon poly;
  poly.reserve(static_cast<int>(points.size()));
  for (const PixelPoint& p : points) poly << QPoint(p.x, p.y);
  QRect area = poly.boundingRect().adjusted(-tools.pen_width, -tools.pen_width, tools.pen_width, tools.pen_width);
  return paint_on_device_context(dc, area, [&](QPainter& p) {
    p.setPen(QPen(tools.pen, tools.pen_width));
    p.setBrush(tools.brush);
    p.drawPolygon(poly, Qt::OddEvenFill);
  });
}

bool fill_gradient_rect(DeviceContext dc, const std::vector<GradientVertex>& vertices, uint32_t upper_left,
                        uint32_t lower_right, bool vertical) {
  if (upper_left >= vertices.size() || lower_right >= vertices.size()) return false;
  const GradientVertex& a = vertices[upper_left];
  const GradientVertex& b = vertices[lower_right];
  // The rectangle between the two corners, its right and bottom edges left out.
  QRect r(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)), QPoint(std::max(a.x, b.x) - 1, std::max(a.y, b.y) - 1));
  if (r.width() <= 0 || r.height() <= 0 || r.width() > kMaxSide || r.height() > kMaxSide) return false;
  // Colours run from the first corner's side to the other's.
  const GradientVertex& start = (vertical ? a.y <= b.y : a.x <= b.x) ? a : b;
  const GradientVertex& end = &start == &a ? b : a;
  int steps = vertical ? r.height() : r.width();
  QImage layer(r.size(), QImage::Format_RGB32);
  QRgb c0 = vertex_rgb(start), c1 = vertex_rgb(end);
  auto mix = [&](int i) {
    double t = steps > 1 ? static_cast<double>(i) / steps : 0.0;
    auto ch = [t](int x0, int x1) { return static_cast<int>(std::lround(x0 + (x1 - x0) * t)); };
    return qRgb(ch(qRed(c0), qRed(c1)), ch(qGreen(c0), qGreen(c1)), ch(qBlue(c0), qBlue(c1)));
  };
  for (int y = 0; y < layer.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
    if (vertical)
      std::fill(row, row + layer.width(), mix(y));
    else
      for (int x = 0; x < layer.width(); ++x) row[x] = mix(x);
  }
  return paint_on_device_context(dc, r, [&](QPainter& p) { p.drawImage(r.topLeft(), layer); });
}

bool fill_gradient_triangles(DeviceContext dc, const std::vector<GradientVertex>& vertices,
                             const std::vector<std::array<uint32_t, 3>>& triangles) {
  if (!device_context_exists(dc)) return false;
  for (const auto& tri : triangles)
    for (uint32_t i : tri)
      if (i >= vertices.size()) return false;
  for (const auto& tri : triangles) {
    const GradientVertex& v0 = vertices[tri[0]];
    const GradientVertex& v1 = vertices[tri[1]];
    const GradientVertex& v2 = vertices[tri[2]];
    QRect box(QPoint(std::min({v0.x, v1.x, v2.x}), std::min({v0.y, v1.y, v2.y})),
              QPoint(std::max({v0.x, v1.x, v2.x}), std::max({v0.y, v1.y, v2.y})));
    double area = static_cast<double>(v1.x - v0.x) * (v2.y - v0.y) - static_cast<double>(v2.x - v0.x) * (v1.y - v0.y);
    if (area == 0 || box.width() > kMaxSide || box.height() > kMaxSide) continue;
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    for (int y = 0; y < layer.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
      double py = box.top() + y + 0.5;
      for (int x = 0; x < layer.width(); ++x) {
        double px = box.left() + x + 0.5;
        // Barycentric weights of the pixel's centre; inside when all three have the area's sign.
        double w0 = ((v1.x - px) * (v2.y - py) - (v2.x - px) * (v1.y - py)) / area;
        double w1 = ((v2.x - px) * (v0.y - py) - (v0.x - px) * (v2.y - py)) / area;
        double w2 = 1.0 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        auto ch = [&](uint16_t a, uint16_t b, uint16_t c) {
          return std::clamp(static_cast<int>(std::lround((a * w0 + b * w1 + c * w2) / 256.0)), 0, 255);
        };
        row[x] = qRgb(ch(v0.red, v1.red, v2.red), ch(v0.green, v1.green, v2.green), ch(v0.blue, v1.blue, v2.blue));
      }
    }
    paint_on_device_context(dc, box, [&](QPainter& p) { p.drawImage(box.topLeft(), layer); });
  }
  return true;
}

bool blend_contexts(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect,
                    uint8_t constant_alpha, bool per_pixel) {
  if (!sane(dst_rect) || !sane(src_rect) || dst_rect.width <= 0 || dst_rect.height <= 0 || src_rect.width <= 0 ||
      src_rect.height <= 0)
    return false;
  QImage part = source_part(src, src_rect, dst_rect);
  if (part.isNull()) return false;
  // Without per-pixel alpha the source counts as opaque.
  if (!per_pixel) part = part.convertToFormat(QImage::Format_RGB32);
  QRect to = rect_of(dst_rect);
  return paint_on_device_context(dst, to, [&](QPainter& p) {
    p.setOpacity(constant_alpha / 255.0);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(to.topLeft(), part);
  });
}

bool transfer_block(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect, int32_t rop) {
  if (!sane(dst_rect) || !sane(src_rect) || dst_rect.width == 0 || dst_rect.height == 0) return false;
  QPainter::CompositionMode mode = raster_op(rop);
  bool needs_source = mode != QPainter::RasterOp_NotDestination && mode != QPainter::RasterOp_ClearDestination &&
                      mode != QPainter::RasterOp_SetDestination;
  QImage part;
  if (needs_source) {
    part = source_part(src, src_rect, dst_rect);
    if (part.isNull()) return false;
  }
  QRect to = rect_of(dst_rect).normalized();
  return paint_on_device_context(dst, to, [&](QPainter& p) {
    p.setCompositionMode(mode);
    if (needs_source)
      p.drawImage(to.topLeft(), part);
    else
      p.fillRect(to, Qt::white);  // the operation alone decides the pixels
  });
}

int32_t put_pixel(DeviceContext dc, int32_t x, int32_t y, int32_t color) {
  QSize size = device_context_size(dc);
  if (!size.isValid() || x < 0 || y < 0 || x >= size.width() || y >= size.height()) return -1;
  uint32_t rgb = argb_of(color);
  bool done = paint_on_device_context(dc, QRect(x, y, 1, 1), [&](QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRect(x, y, 1, 1), QColor::fromRgb(rgb));
  });
  return done ? (color & 0xFFFFFF) : -1;
}

bool draw_text_at(DeviceContext dc, int32_t x, int32_t y, std::u16string_view text) {
  DcTools tools;
  if (!device_context_tools(dc, tools)) return false;
  QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
  QSize size = device_context_size(dc);
  QFontMetrics fm(tools.font);
  QRect area(x, y, fm.horizontalAdvance(s) + 2, fm.height());
  area = area.intersected(QRect(QPoint(0, 0), size));
  if (area.isEmpty()) return true;  // drawn, outside the target
  return paint_on_device_context(dc, area, [&](QPainter& p) {
    p.setFont(tools.font);
    p.setPen(tools.text);
    p.drawText(QPoint(x, y + fm.ascent()), s);
  });
}

}  // namespace qz
