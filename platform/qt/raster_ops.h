// Pixel combinations of the platform's drawing layer that QPainter has no plain mode for: the
// sixteen binary raster operations of a pen (drawing modes 1 to 16), the copy/OR/AND blits of a
// picture, and the 3-D edges of a rectangle. All work on RGB32 images and clip to them.
#pragma once
#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdint>

namespace qz {

// Drawing mode `mode` (1 black ... 10 not-xor-pen ... 13 copy pen ... 16 white) of `pen` over
// the pixels of `area`; modes outside 1..16 draw nothing.
void fill_with_mode(QImage& image, const QRect& area, const QColor& pen, int mode);

enum class RasterOp { Copy, Or, And };
// `source` from its (0, 0) onto `area` of `image`.
void blit(QImage& image, const QImage& source, const QRect& area, RasterOp op);

// The edge the platform draws around a rectangle: `edge` holds the raised/sunken bits of the
// outer (1, 2) and inner (4, 8) line, `sides` which sides (1 left, 2 top, 4 right, 8 bottom).
void draw_edge(QImage& image, const QRect& rect, int edge, int sides);

}  // namespace qz
