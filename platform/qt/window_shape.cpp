#include "platform/qt/window_shape.h"

#include <QWidget>

#include <vector>

#include "com/error.h"
#include "platform/qt/picture.h"
#include "platform/qt/qt_control.h"

namespace qz {

QRegion opaque_region(const QImage& mask, int32_t& transparent_color) {
  if (mask.isNull()) return {};
  QImage img = mask.convertToFormat(QImage::Format_RGB32);
  if (transparent_color < 1) transparent_color = from_qcolor(QColor(img.pixel(0, 0)));
  const QRgb transparent = to_qcolor(transparent_color).rgb();
  // One rectangle per run; QRegion::setRects builds the region in one go, which is far cheaper
  // than uniting rectangles one by one.
  std::vector<QRect> runs;
  for (int y = 0; y < img.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int x = 0;
    while (x < img.width()) {
      while (x < img.width() && row[x] == transparent) ++x;
      int start = x;
      while (x < img.width() && row[x] != transparent) ++x;
      if (x > start) runs.emplace_back(start, y, x - start, 1);
    }
  }
  QRegion region;
  if (!runs.empty()) region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

void shape_window(QtControl& window, Object* mask) {
  window.check_alive();
  Picture* p = as_picture(mask);
  if (!p || p->image().isNull()) raise(481, u"Invalid picture");
  window.widget()->setMask(opaque_region(p->image()));
}

}  // namespace qz
