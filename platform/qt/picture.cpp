#include "platform/qt/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <unordered_map>

#include "com/error.h"
#include "platform/path.h"

namespace qz {

namespace {

constexpr int32_t kErrInvalidPicture = 481;
constexpr int32_t kErrPathAccess = 75;
// Untrusted files are refused before decoding when they are larger than any picture a script
// would show: 256 MiB of file, 16384 pixels a side, 64 Mi pixels in all.
constexpr qint64 kMaxFileBytes = qint64{256} << 20;
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = qint64{1} << 26;

// Handles: numbers handed out once each, so an old number never finds a newer picture.
struct HandleTable {
  std::unordered_map<int32_t, Picture*> pictures;
  int32_t next = 0;
};
HandleTable& handles() {
  static auto* table = new HandleTable();
  return *table;
}

QString qstring(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace

int32_t pixels_to_himetric(int pixels) { return static_cast<int32_t>(std::lround(pixels * 2540.0 / 96)); }
int pixels_from_himetric(int32_t himetric) { return static_cast<int>(std::lround(himetric * 96.0 / 2540)); }

Picture::Picture(QImage image, Kind kind) : image_(std::move(image)), kind_(image_.isNull() ? kNone : kind) {
  if (kind_ == kNone) return;
  HandleTable& t = handles();
  do {
    t.next = t.next == INT32_MAX ? 1 : t.next + 1;
  } while (t.pictures.count(t.next));
  handle_ = t.next;
  t.pictures.emplace(handle_, this);
}

Picture::~Picture() {
  if (handle_) handles().pictures.erase(handle_);
}

Picture* Picture::from_handle(int32_t handle) {
  if (handle == 0) return nullptr;
  auto& map = handles().pictures;
  auto it = map.find(handle);
  return it == map.end() ? nullptr : it->second;
}

int32_t Picture::himetric_width() const { return pixels_to_himetric(image_.width()); }
int32_t Picture::himetric_height() const { return pixels_to_himetric(image_.height()); }

void Picture::define(Members<Picture>& m) {
  m.getter(u"Handle", [](Picture& p, Args) { return Variant(p.handle_); });
  m.default_member(u"Handle");
  m.getter(u"Width", [](Picture& p, Args) { return Variant(p.himetric_width()); });
  m.getter(u"Height", [](Picture& p, Args) { return Variant(p.himetric_height()); });
  m.getter(u"Type", [](Picture& p, Args) { return Variant(static_cast<int16_t>(p.kind_)); });
  m.getter(u"hPal", [](Picture&, Args) { return Variant(int32_t{0}); });
}

Ref<Picture> read_picture_bytes(const uint8_t* data, size_t size) {
  if (!data || size == 0 || size > static_cast<size_t>(kMaxFileBytes)) raise(kErrInvalidPicture);
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  if (!reader.canRead()) raise(kErrInvalidPicture);
  QByteArray format = reader.format().toLower();
  // The header's size, when the format tells it, is checked before any pixel is allocated.
  QSize declared = reader.size();
  if (declared.isValid() && (declared.width() > kMaxSide || declared.height() > kMaxSide ||
                             qint64{declared.width()} * declared.height() > kMaxPixels))
    raise(kErrInvalidPicture);
  QImage image;
  if (!reader.read(&image) || image.isNull()) raise(kErrInvalidPicture);
  if (image.width() > kMaxSide || image.height() > kMaxSide) raise(kErrInvalidPicture);
  Picture::Kind kind = format == "ico" || format == "cur" ? Picture::kIcon : Picture::kBitmap;
  return make_ref<Picture>(std::move(image), kind);
}

Ref<Picture> read_picture_file(std::u16string_view path) {
  if (path.empty()) return make_ref<Picture>(QImage(), Picture::kNone);
  std::string os = find_path(path);
  if (!file_exists(os)) raise(kErrFileNotFound);
  QFile file(qstring(os));
  if (!file.open(QIODevice::ReadOnly)) raise(kErrPathAccess);
  if (file.size() > kMaxFileBytes) raise(kErrInvalidPicture);
  QByteArray bytes = file.readAll();
  return read_picture_bytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

Picture* as_picture(Object* o) { return o ? dynamic_cast<Picture*>(o) : nullptr; }

void write_bitmap_file(const QImage& image, std::u16string_view path) {
  if (image.isNull()) raise(kErrInvalidPicture);
  if (path.empty()) raise(kErrPathAccess);
  // 24 bits a pixel: what bitmap readers everywhere take. Transparent parts become white.
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  {
    QPainter p(&flat);
    p.drawImage(0, 0, image);
  }
  QImageWriter writer(qstring(find_path(path)), "bmp");
  if (!writer.write(flat.convertToFormat(QImage::Format_RGB888))) raise(kErrPathAccess);
}

}  // namespace qz
