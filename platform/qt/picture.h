// The picture object: what LoadPicture returns and Picture properties hold. It wraps the image
// as decoded (bitmaps, icons and cursors alike), is known to scripts by a handle from one
// process-wide table, and gives its size in HIMETRIC units (0.01 mm) at 96 pixels an inch.
#pragma once
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "com/object.h"

namespace qz {

class Picture final : public NativeObject<Picture> {
 public:
  // The Type member's values.
  enum Kind : int16_t { kNone = 0, kBitmap = 1, kMetafile = 2, kIcon = 3, kEnhMetafile = 4 };

  // A null image makes the empty picture (Type 0, Handle 0).
  explicit Picture(QImage image, Kind kind = kBitmap);
  ~Picture() override;
  static void define(Members<Picture>& m);
  std::u16string type_name() const override { return u"Picture"; }

  const QImage& image() const { return image_; }
  Kind kind() const { return kind_; }
  int32_t handle() const { return handle_; }
  int32_t himetric_width() const;
  int32_t himetric_height() const;

  // The live picture behind a handle; nullptr for 0 and for numbers that name no picture.
  static Picture* from_handle(int32_t handle);

 private:
  QImage image_;
  Kind kind_;
  int32_t handle_ = 0;
};

// Pixels as HIMETRIC units and back, at 96 pixels an inch (rounded).
int32_t pixels_to_himetric(int pixels);
int pixels_from_himetric(int32_t himetric);

// LoadPicture: a picture file (BMP, PNG, JPEG, GIF, ICO or CUR, told apart by content). An
// empty path gives the empty picture. Raises 53 ("File not found") when there is no such file,
// 481 ("Invalid picture") when it is not a picture or too large to decode.
Ref<Picture> read_picture_file(std::u16string_view path);
// The same for bytes in memory (raises 481 only).
Ref<Picture> read_picture_bytes(const uint8_t* data, size_t size);
// The picture an object is, or nullptr.
Picture* as_picture(Object* o);
// SavePicture: writes `image` as a 24-bit bitmap file. Raises 481 for a null image and 75
// ("Path/File access error") when the file cannot be written.
void write_bitmap_file(const QImage& image, std::u16string_view path);

}  // namespace qz
