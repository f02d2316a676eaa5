// The region of a skin picture: runs of the pixels that are not the transparent colour.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/qt/window_shape.h"

namespace qz {
namespace {

// A white 6 x 3 picture with a red run from (1, 1) to (3, 1) and a black pixel at (5, 2).
QImage skin() {
  QImage img(6, 3, QImage::Format_RGB32);
  img.fill(Qt::white);
  for (int x = 1; x <= 3; ++x) img.setPixel(x, 1, qRgb(255, 0, 0));
  img.setPixel(5, 2, qRgb(0, 0, 0));
  return img;
}

TEST(SkinRegion, TransparentColourFromTheCallerOrTheCorner) {
  constexpr int32_t kWhite = 0xFFFFFF, kRed = 0x0000FF;
  struct Case { int32_t colour; int32_t colour_after; int inside_pixels; bool red_inside, white_inside; };
  const Case cases[] = {
      {0, kWhite, 4, true, false},     // black cannot be named: the corner's white is taken
      {-5, kWhite, 4, true, false},    // nor can a negative value
      {kRed, kRed, 15, false, true},   // red given: everything else is the window
      {kWhite, kWhite, 4, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour);
    int32_t colour = c.colour;
    QRegion r = opaque_region(skin(), colour);
    EXPECT_EQ(colour, c.colour_after);
    int area = 0;
    for (const QRect& rect : r) area += rect.width() * rect.height();
    EXPECT_EQ(area, c.inside_pixels);
    EXPECT_EQ(r.contains(QPoint(2, 1)), c.red_inside);
    EXPECT_EQ(r.contains(QPoint(0, 0)), c.white_inside);
    EXPECT_TRUE(r.contains(QPoint(5, 2)));  // the lone black pixel is a run of its own
  }
}

TEST(SkinRegion, AllTransparentGivesNoRegion) {
  QImage img(4, 4, QImage::Format_RGB32);
  img.fill(Qt::blue);
  EXPECT_TRUE(opaque_region(img).isEmpty());
  EXPECT_TRUE(opaque_region(QImage()).isEmpty());
}

}  // namespace
}  // namespace qz
