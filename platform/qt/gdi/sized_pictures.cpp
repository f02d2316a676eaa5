#include "platform/qt/gdi/sized_pictures.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <string>

#include "platform/path.h"
#include "platform/qt/gdi/gdi_drawing.h"
#include "platform/qt/picture.h"

namespace qz {

namespace {

constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = qint64{1} << 26;

bool size_ok(int w, int h) { return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && qint64{w} * h <= kMaxPixels; }

// Where the picture goes on the bitmap: all of it, or the largest part of its shape, centred
// (sizes and offsets rounded halves to even, as the script's arithmetic does).
QRect placement(QSize image, int width, int height, bool keep_ratio) {
  if (!keep_ratio || image.isEmpty()) return QRect(0, 0, width, height);
  double ratio = static_cast<double>(image.width()) / image.height();
  double box = static_cast<double>(width) / height;
  double w = width, h = height;
  if (box < ratio)
    h = width / ratio;
  else
    w = height * ratio;
  int rw = static_cast<int>(std::nearbyint(w)), rh = static_cast<int>(std::nearbyint(h));
  int x = static_cast<int>(std::nearbyint((width - rw) / 2.0)),
      y = static_cast<int>(std::nearbyint((height - rh) / 2.0));
  return QRect(x, y, rw, rh);
}

}  // namespace

QImage draw_scaled(const QImage& image, int width, int height, int32_t back_color, bool keep_ratio) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(QColor::fromRgb(argb_of(back_color)));
  QRect to = placement(image.size(), width, height, keep_ratio);
  if (to.isEmpty() || image.isNull()) return out;
  QPainter p(&out);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (image.size() == to.size())
    p.drawImage(to.topLeft(), image);
  else
    p.drawImage(to, image.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return out;
}

Ref<Object> load_sized_picture(std::u16string_view path, int32_t width, int32_t height, int32_t back_color,
                               bool keep_ratio) {
  std::string os = find_path(path);
  QImageReader reader(QString::fromUtf8(os.c_str()));
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  QSize own = reader.size();
  if (!own.isValid() || !size_ok(own.width(), own.height())) return nullptr;
  if (width == -1 || height == -1) {
    width = own.width();
    height = own.height();
  }
  if (!size_ok(width, height)) return nullptr;
  // Decoders that can (JPEG) produce the smaller size directly, which is most of the cost of
  // shrinking a large photograph.
  QRect to = placement(own, width, height, keep_ratio);
  if (to.width() < own.width() && to.height() < own.height()) reader.setScaledSize(to.size());
  QImage image;
  if (!reader.read(&image) || image.isNull()) return nullptr;
  return Ref<Object>(make_ref<Picture>(draw_scaled(image, width, height, back_color, keep_ratio)).get());
}

Ref<Object> resize_picture_handle(int32_t handle, int32_t type, int32_t width, int32_t height, int32_t back_color,
                                  bool keep_ratio) {
  if (type != Picture::kBitmap && type != Picture::kIcon) return nullptr;
  Picture* source = Picture::from_handle(handle);
  if (!source || source->kind() != type || !size_ok(width, height)) return nullptr;
  return Ref<Object>(make_ref<Picture>(draw_scaled(source->image(), width, height, back_color, keep_ratio)).get());
}

}  // namespace qz
