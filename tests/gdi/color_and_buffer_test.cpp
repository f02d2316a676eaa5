// The arithmetic of sys.GDI and sys.GDI.OpenGL that needs no window: the palette, gradient
// colours, the byte buffer's shape and the size texture data must have.
#include <gtest/gtest.h>

#include "com/error.h"
#include "services/gdi/color_helpers.h"
#include "services/gdi/gl_byte_buffer.h"
#include "services/gdi/gl_pixel_data.h"

namespace qz {
namespace {

TEST(QbColor, PaletteHasRedInTheLowByte) {
  struct Case { int32_t n, rgb; };
  for (Case c : {Case{0, 0}, Case{1, 0x800000}, Case{4, 0x000080}, Case{7, 0xC0C0C0}, Case{9, 0xFF0000},
                 Case{12, 0x0000FF}, Case{14, 0x00FFFF}, Case{15, 0xFFFFFF}, Case{16, 0}, Case{-1, 0}})
    EXPECT_EQ(qb_color(c.n), c.rgb) << c.n;
}

TEST(GradientColor, EndsMidpointsAndRounding) {
  struct Case { float percent; int32_t c1, c2, want; };
  for (Case c : {Case{0, 0x123456, 0xABCDEF, 0x123456}, Case{100, 0x123456, 0xABCDEF, 0xABCDEF},
                 Case{50, 0, 200, 100},
                 Case{50, 0, 255, 127},   // 255 / 100 is just below 2.55: the product just below 127.5
                 Case{30, 100, 0, 70},    // the falling branch
                 Case{50, 0, 0x010000, 0},         // blue 0.5 rounds to the even 0
                 Case{50, 0, 0x030000, 0x020000},  // and 1.5 to the even 2
                 Case{200, 0, 200, 255},  // extrapolated past 255: capped
                 Case{50, -1, 200, 0}, Case{50, 0, -5, 0},
                 Case{200, 100, 0, 0}})   // a channel below 0: no colour
    EXPECT_EQ(gradient_color(c.percent, c.c1, c.c2), c.want) << c.percent << " " << c.c1 << " " << c.c2;
}

TEST(GlByteBuffer, ShapesSizesAndOffsets) {
  GlByteBuffer b;
  b.rebuild(9, -1, -1);
  EXPECT_EQ(b.size_of(-1), 10);
  EXPECT_EQ(b.size_of(0), 9);
  EXPECT_EQ(b.size_of(1), 0);
  EXPECT_EQ(b.size_of(7), 0);

  b.rebuild(2, 3, 4);
  EXPECT_EQ(b.size_of(-1), 60);
  EXPECT_EQ(b.offset(1, 0, 0), 1u);
  EXPECT_EQ(b.offset(0, 1, 0), 3u);
  EXPECT_EQ(b.offset(0, 0, 1), 12u);
  EXPECT_EQ(b.offset(2, 3, 4), 59u);
  // Outside the shape, or with another number of indices: nothing.
  EXPECT_FALSE(b.offset(3, 0, 0));
  EXPECT_FALSE(b.offset(0, 4, 0));
  EXPECT_FALSE(b.offset(-2, 0, 0));
  EXPECT_FALSE(b.offset(5, -1, -1));
  EXPECT_FALSE(b.offset(0, 0, -1));
  b.put(1, 1, 1, 77);
  EXPECT_EQ(b.get(1, 1, 1), 77);
  b.put(9, 9, 9, 1);  // written nowhere
  EXPECT_EQ(b.get(9, 9, 9), 0);
}

TEST(GlByteBuffer, ClearKeepsShapeButRefusesSizes) {
  GlByteBuffer b;
  EXPECT_THROW(b.size_of(-1), ScriptError);  // never built
  b.rebuild(3, 1, -1);
  uint64_t before = b.generation();
  b.clear();
  EXPECT_TRUE(b.empty());
  EXPECT_NE(b.generation(), before);
  EXPECT_EQ(b.kind(), 1);
  EXPECT_THROW(b.size_of(0), ScriptError);
  EXPECT_EQ(b.get(0, 0, -1), 0);
}

TEST(GlByteBuffer, RefusesNegativeAndHugeShapes) {
  GlByteBuffer b;
  struct Case { int32_t n0, n1, n2; int32_t error; };
  for (Case c : {Case{-5, -1, -1, kErrSubscript}, Case{4, -3, -1, kErrSubscript}, Case{4, 4, -7, kErrSubscript},
                 Case{65535, 65535, 65535, kErrOutOfMemory}}) {
    try {
      b.rebuild(c.n0, c.n1, c.n2);
      ADD_FAILURE() << "accepted " << c.n0 << "," << c.n1 << "," << c.n2;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, c.error);
    }
  }
}

TEST(GlImageBytes, FormatTypeAndRowAlignment) {
  constexpr uint32_t kRgb = 0x1907, kRgba = 0x1908, kBgr = 0x80E0, kLum = 0x1909, kUByte = 0x1401, kFloat = 0x1406;
  GlUnpackState packed{1, 0, 0, 0}, aligned{4, 0, 0, 0};
  struct Case { int32_t w, h; uint32_t format, type; GlUnpackState unpack; size_t want; };
  for (Case c : {Case{4, 4, kRgba, kUByte, aligned, 64}, Case{3, 2, kRgb, kUByte, packed, 18},
                 Case{3, 2, kRgb, kUByte, aligned, 12 + 9},  // first row padded to 12
                 Case{5, 1, kBgr, kUByte, aligned, 15}, Case{2, 2, kLum, kFloat, aligned, 16},
                 Case{2, 3, kRgb, kUByte, GlUnpackState{1, 4, 1, 1}, 12 * 3 + 9}, Case{0, 9, kRgb, kUByte, aligned, 0}})
    EXPECT_EQ(gl_image_bytes(c.w, c.h, c.format, c.type, c.unpack), c.want) << c.w << "x" << c.h;
  EXPECT_FALSE(gl_image_bytes(4, 4, 0x1234, kUByte, aligned));   // unknown format
  EXPECT_FALSE(gl_image_bytes(4, 4, kRgb, 0x8035, aligned));     // packed types are not taken
  EXPECT_FALSE(gl_image_bytes(-1, 4, kRgb, kUByte, aligned));
  EXPECT_FALSE(gl_image_bytes(4, 4, kRgb, kUByte, GlUnpackState{3, 0, 0, 0}));
}

}  // namespace
}  // namespace qz
