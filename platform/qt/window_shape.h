// Shaped windows: the region of a mask picture's opaque pixels becomes the window's shape.
#pragma once
#include <QImage>
#include <QRegion>

#include "com/object.h"

namespace qz {

class QtControl;

// The pixels of `mask` that differ from its pixel at (0, 0), as runs along each row.
QRegion opaque_region(const QImage& mask);
// Raises 481 ("Invalid picture") when `mask` is no picture.
void shape_window(QtControl& window, Object* mask);

}  // namespace qz
