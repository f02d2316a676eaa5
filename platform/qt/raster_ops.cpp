#include "platform/qt/raster_ops.h"

namespace qz {

namespace {

uint32_t apply_mode(uint32_t pen, uint32_t dest, int mode) {
  switch (mode) {
    case 1: return 0;
    case 2: return ~(pen | dest);
    case 3: return ~pen & dest;
    case 4: return ~pen;
    case 5: return pen & ~dest;
    case 6: return ~dest;
    case 7: return pen ^ dest;
    case 8: return ~(pen & dest);
    case 9: return pen & dest;
    case 10: return ~(pen ^ dest);
    case 11: return dest;
    case 12: return ~pen | dest;
    case 13: return pen;
    case 14: return pen | ~dest;
    case 15: return pen | dest;
    default: return 0xFFFFFF;  // 16: white
  }
}

}  // namespace

void fill_with_mode(QImage& image, const QRect& area, const QColor& pen, int mode) {
  if (mode < 1 || mode > 16) return;
  const QRect r = area.intersected(image.rect());
  const uint32_t p = pen.rgb() & 0xFFFFFF;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = r.left(); x <= r.right(); ++x)
      line[x] = 0xFF000000u | (apply_mode(p, line[x] & 0xFFFFFF, mode) & 0xFFFFFF);
  }
}

void blit(QImage& image, const QImage& source, const QRect& area, RasterOp op) {
  const QImage src = source.convertToFormat(QImage::Format_RGB32);
  const QRect r = area.intersected(image.rect()).intersected(src.rect().translated(area.topLeft()));
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    auto* from = reinterpret_cast<const QRgb*>(src.constScanLine(y - area.top()));
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb s = from[x - area.left()];
      switch (op) {
        case RasterOp::Copy: line[x] = s; break;
        case RasterOp::Or: line[x] = 0xFF000000u | (line[x] | s); break;
        case RasterOp::And: line[x] = 0xFF000000u | (line[x] & s); break;
      }
    }
  }
}

void draw_edge(QImage& image, const QRect& rect, int edge, int sides) {
  // The platform's 3-D colours: light, highlight, shadow, dark shadow.
  const QColor light(227, 227, 227), highlight(255, 255, 255), shadow(160, 160, 160), dark(105, 105, 105);
  auto line = [&](QRect r, int inset, const QColor& top_left, const QColor& bottom_right) {
    r.adjust(inset, inset, -inset, -inset);
    if (r.width() <= 0 || r.height() <= 0) return;
    if (sides & 2) fill_with_mode(image, QRect(r.left(), r.top(), r.width(), 1), top_left, 13);
    if (sides & 1) fill_with_mode(image, QRect(r.left(), r.top(), 1, r.height()), top_left, 13);
    if (sides & 8) fill_with_mode(image, QRect(r.left(), r.bottom(), r.width(), 1), bottom_right, 13);
    if (sides & 4) fill_with_mode(image, QRect(r.right(), r.top(), 1, r.height()), bottom_right, 13);
  };
  if (edge & 1) line(rect, 0, light, dark);            // raised outer
  else if (edge & 2) line(rect, 0, shadow, highlight);  // sunken outer
  if (edge & 4) line(rect, 1, highlight, shadow);       // raised inner
  else if (edge & 8) line(rect, 1, dark, light);        // sunken inner
}

}  // namespace qz
