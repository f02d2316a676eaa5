// Shaped windows: the region of a mask picture's opaque pixels becomes the window's shape.
#pragma once
#include <QImage>
#include <QRegion>

#include "com/object.h"

namespace qz {

class QtControl;

// The pixels of `mask` that differ from the transparent colour (0x00BBGGRR), as runs along
// each row. A colour below 1 (black, or negative) names no colour: the pixel at (0, 0) gives it,
// and `transparent` receives that colour.
QRegion opaque_region(const QImage& mask, int32_t& transparent);
inline QRegion opaque_region(const QImage& mask) {
  int32_t corner = 0;
  return opaque_region(mask, corner);
}
// Raises 481 ("Invalid picture") when `mask` is no picture.
void shape_window(QtControl& window, Object* mask);

}  // namespace qz
