#include "platform/qt/gdi/icons.h"

#include <map>

#include "platform/qt/gdi/device_contexts.h"
#include "platform/qt/gdi/gdi_drawing.h"
#include "platform/qt/picture.h"

namespace qz {

namespace {

// Icons larger than this are no icons the platform would draw.
constexpr int kMaxIconSide = 256;

struct IconTable {
  std::map<int32_t, QImage> icons;
  int32_t next = 0x5000010;
};
IconTable& table() {
  static auto* t = new IconTable();
  return *t;
}

}  // namespace

int32_t make_icon_from_dc(DeviceContext dc, int32_t width, int32_t height, int32_t mask_color) {
  if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) return 0;
  QImage source = device_context_image(dc);
  if (source.isNull()) return 0;
  // Outside the target the colour bitmap stays black, as a copy from beyond a bitmap does.
  QImage icon(width, height, QImage::Format_ARGB32);
  icon.fill(Qt::black);
  QImage part = source.copy(0, 0, width, height).convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < height && y < source.height(); ++y)
    for (int x = 0; x < width && x < source.width(); ++x) icon.setPixel(x, y, part.pixel(x, y) | 0xFF000000u);
  QRgb key = mask_color == -1 ? (icon.pixel(0, 0) & 0xFFFFFFu) : (argb_of(mask_color) & 0xFFFFFFu);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(icon.scanLine(y));
    for (int x = 0; x < width; ++x)
      if ((row[x] & 0xFFFFFFu) == key) row[x] = 0;  // transparent, and black in the colour bitmap
  }
  IconTable& t = table();
  do {
    t.next = t.next >= 0x5FFFFFF0 ? 0x5000010 : t.next + 4;
  } while (t.icons.count(t.next));
  t.icons.emplace(t.next, std::move(icon));
  return t.next;
}

QImage icon_image(int32_t icon) {
  auto& m = table().icons;
  auto it = m.find(icon);
  return it == m.end() ? QImage() : it->second;
}

Ref<Object> take_icon_as_picture(int32_t icon) {
  auto& m = table().icons;
  auto it = m.find(icon);
  if (it == m.end()) return nullptr;
  Ref<Picture> p = make_ref<Picture>(std::move(it->second), Picture::kIcon);
  m.erase(it);
  return Ref<Object>(p.get());
}

}  // namespace qz
