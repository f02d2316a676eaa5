// Pictures drawn at a requested size on a background colour (sys.GDI.Plus): from a file of any
// format the image plug-ins read, or from a picture the script holds by handle.
#pragma once
#include <QImage>
#include <cstdint>
#include <string_view>

#include "com/object.h"

namespace qz {

// `image` drawn on a w × h bitmap of `back_color`: stretched, or with `keep_ratio` as large as
// fits and centred.
QImage draw_scaled(const QImage& image, int width, int height, int32_t back_color, bool keep_ratio);
// Null when the file cannot be read as a picture; w or h -1 takes the file's own size.
Ref<Object> load_sized_picture(std::u16string_view path, int32_t width, int32_t height, int32_t back_color,
                               bool keep_ratio);
// Type 1 (bitmap) or 3 (icon) pictures by handle; null for other types, unknown handles and
// sizes outside 1..16384.
Ref<Object> resize_picture_handle(int32_t handle, int32_t type, int32_t width, int32_t height, int32_t back_color,
                                  bool keep_ratio);

}  // namespace qz
