// The drawing surface of forms and picture boxes: statements checked by their pixels.
#include "tests/support/error_of.h"
#include "platform/qt/canvas.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <numbers>

#include "com/error.h"

namespace qz {
namespace {

constexpr int32_t kWhite = 0xFFFFFF, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kBlack = 0;
constexpr double kPi = std::numbers::pi;

// A white canvas measured in pixels, with black ink.
struct PixelCanvas : ::testing::Test {
  Canvas c{100, 100};
  void SetUp() override {
    c.set_scale_mode(kScalePixels);
    c.set_back_color(kWhite);
    c.set_fore_color(kBlack);
  }
  int32_t at(int x, int y) { return c.point(x, y); }
  // True when the colour is within one pixel of (x, y): where an aliased curve falls exactly
  // is the rasteriser's business.
  bool near(int x, int y, int32_t color) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (at(x + dx, y + dy) == color) return true;
    return false;
  }
  int count(int32_t color) {
    int n = 0;
    for (int y = 0; y < c.size().height(); ++y)
      for (int x = 0; x < c.size().width(); ++x) n += at(x, y) == color;
    return n;
  }
};

TEST_F(PixelCanvas, LineColoursItsPixelsAndMovesCurrentPoint) {
  c.line(QPointF(10, 10), false, QPointF(50, 10), false, kRed);
  for (int x = 10; x <= 50; x += 5) EXPECT_EQ(at(x, 10), kRed) << x;
  EXPECT_EQ(at(30, 11), kWhite);
  EXPECT_EQ(at(9, 10), kWhite);
  EXPECT_EQ(c.current_x(), 50);
  EXPECT_EQ(c.current_y(), 10);

  // Without a colour the line takes ForeColor; a diagonal passes through its middle.
  c.line(QPointF(0, 0), false, QPointF(20, 20), false);
  EXPECT_EQ(at(10, 10), kBlack);
}

TEST_F(PixelCanvas, StepAndMissingFirstPointStartFromCurrentPoint) {
  c.set_current_x(20);
  c.set_current_y(30);
  // Line -Step(10, 0): from (20, 30) to (30, 30).
  c.line(std::nullopt, false, QPointF(10, 0), true, kGreen);
  EXPECT_EQ(at(25, 30), kGreen);
  EXPECT_EQ(c.current_x(), 30);
  // Line Step(0, 10)-Step(0, 10): from (30, 40) to (30, 50), relative to the first point.
  c.line(QPointF(0, 10), true, QPointF(0, 10), true, kBlue);
  EXPECT_EQ(at(30, 45), kBlue);
  EXPECT_EQ(at(30, 35), kWhite);
  EXPECT_EQ(c.current_y(), 50);
  // Line -(60, 50): from the current point.
  c.line(std::nullopt, false, QPointF(60, 50), false, kRed);
  EXPECT_EQ(at(45, 50), kRed);
}

TEST_F(PixelCanvas, Boxes) {
  // B: an outline; inside stays as it was while FillStyle is transparent.
  c.line(QPointF(10, 10), false, QPointF(30, 20), false, kRed, Canvas::LineShape::kBox);
  for (auto [x, y] : {std::pair{10, 10}, {30, 20}, {30, 10}, {10, 20}, {20, 10}, {10, 15}}) EXPECT_EQ(at(x, y), kRed);
  EXPECT_EQ(at(20, 15), kWhite);
  EXPECT_EQ(at(31, 15), kWhite);

  // BF: filled with the line colour, corners included, nothing outside.
  c.line(QPointF(60, 60), false, QPointF(50, 50), false, kBlue, Canvas::LineShape::kFilledBox);
  EXPECT_EQ(count(kBlue), 11 * 11);

  // B with a solid FillStyle: FillColor inside, the line colour around.
  c.set_fill_style(0);
  c.set_fill_color(kGreen);
  c.line(QPointF(70, 10), false, QPointF(90, 30), false, kRed, Canvas::LineShape::kBox);
  EXPECT_EQ(at(80, 20), kGreen);
  EXPECT_EQ(at(70, 20), kRed);
  EXPECT_EQ(at(90, 30), kRed);
}

TEST_F(PixelCanvas, CircleReachesItsExtremePoints) {
  c.circle(QPointF(50, 50), false, 20, kRed);
  for (auto [x, y] : {std::pair{70, 50}, {30, 50}, {50, 30}, {50, 70}}) EXPECT_TRUE(near(x, y, kRed)) << x << "," << y;
  EXPECT_EQ(at(50, 50), kWhite);
  EXPECT_EQ(at(74, 50), kWhite);
  EXPECT_EQ(c.current_x(), 50);

  // Step: the centre is relative to the current point (50, 50).
  c.circle(QPointF(-40, -40), true, 5, kBlue);
  EXPECT_TRUE(near(15, 10, kBlue));
  EXPECT_EQ(c.current_x(), 10);
}

TEST_F(PixelCanvas, EllipsesFollowTheAspect) {
  // Aspect below 1 flattens: the radius is horizontal.
  c.circle(QPointF(50, 50), false, 20, kRed, std::nullopt, std::nullopt, 0.5);
  EXPECT_TRUE(near(70, 50, kRed));
  EXPECT_TRUE(near(50, 40, kRed));
  EXPECT_FALSE(near(50, 30, kRed));
  // Above 1 the radius is the vertical one.
  c.cls();
  c.circle(QPointF(50, 50), false, 20, kBlue, std::nullopt, std::nullopt, 2.0);
  EXPECT_TRUE(near(50, 30, kBlue));
  EXPECT_TRUE(near(60, 50, kBlue));
  EXPECT_FALSE(near(70, 50, kBlue));
  // A negative aspect is taken by its size, as a late-bound call's "left out" -10 is.
  c.cls();
  c.circle(QPointF(50, 50), false, 20, kGreen, 0.0, kPi, -10.0);
  EXPECT_TRUE(near(50, 30, kGreen));
}

TEST_F(PixelCanvas, ArcsAndPies) {
  // From 3 o'clock to 12 o'clock, counter-clockwise.
  c.circle(QPointF(50, 50), false, 20, kRed, 0.0, kPi / 2);
  EXPECT_TRUE(near(70, 50, kRed));
  EXPECT_TRUE(near(50, 30, kRed));
  EXPECT_TRUE(near(64, 36, kRed));  // 45 degrees
  EXPECT_FALSE(near(30, 50, kRed));
  EXPECT_FALSE(near(50, 70, kRed));
  EXPECT_FALSE(near(60, 50, kRed));  // no radius

  // Negative angles draw the radii: a pie, filled by FillStyle.
  c.cls();
  c.set_fill_style(0);
  c.set_fill_color(kGreen);
  c.circle(QPointF(50, 50), false, 20, kRed, -kPi / 2, -kPi);
  EXPECT_TRUE(near(40, 50, kRed));   // radius to 9 o'clock
  EXPECT_TRUE(near(50, 40, kRed));   // radius to 12 o'clock
  EXPECT_EQ(at(42, 42), kGreen);     // inside the upper-left quarter
  EXPECT_EQ(at(58, 58), kWhite);     // the rest stays empty

  // One negative angle: an arc with one radius and no fill.
  c.cls();
  c.circle(QPointF(50, 50), false, 20, kBlue, -0.0001, kPi / 2);
  EXPECT_TRUE(near(60, 50, kBlue));
  EXPECT_FALSE(near(50, 40, kBlue));
  EXPECT_EQ(at(58, 42), kWhite);

  // Angles past a whole turn are taken modulo one turn rather than refused.
  c.cls();
  c.circle(QPointF(50, 50), false, 20, kRed, 2 * kPi, 2 * kPi + kPi / 2);
  EXPECT_TRUE(near(50, 30, kRed));
  EXPECT_FALSE(near(30, 50, kRed));
}

TEST_F(PixelCanvas, PSetAndPointReadBack) {
  struct Case { double x, y; int32_t color; };
  for (Case k : {Case{0, 0, kRed}, Case{99, 99, kBlue}, Case{42.7, 13.2, 0x123456}, Case{5, 95, kBlack}}) {
    c.pset(QPointF(k.x, k.y), false, k.color);
    EXPECT_EQ(c.point(k.x, k.y), k.color) << k.x << "," << k.y;
    EXPECT_EQ(c.current_x(), k.x);
  }
  EXPECT_EQ(at(1, 0), kWhite);
  // Outside the image: nothing drawn, and Point says -1.
  c.pset(QPointF(-1, 5), false, kRed);
  c.pset(QPointF(100, 5), false, kRed);
  for (auto [x, y] : {std::pair{-1.0, 5.0}, {100.0, 5.0}, {5.0, -0.5}, {5.0, 100.0}, {1e30, 0.0}})
    EXPECT_EQ(c.point(x, y), -1) << x << "," << y;
  EXPECT_EQ(count(kRed), 1);
  // Step and ForeColor.
  c.set_current_x(5);
  c.set_current_y(95);
  c.set_fore_color(kGreen);
  c.pset(QPointF(2, 3), true);
  EXPECT_EQ(at(7, 98), kGreen);
  // A system colour is drawn as some real colour.
  c.pset(QPointF(50, 50), false, static_cast<int32_t>(0x80000008));
  EXPECT_NE(at(50, 50), -1);
}

TEST_F(PixelCanvas, PixelsAndPainterStatementsInterleave) {
  // Points go straight into the image while the painter stays open for lines.
  for (int i = 0; i < 10; ++i) {
    c.pset(QPointF(i, 0), false, kRed);
    c.line(QPointF(i, 10), false, QPointF(i, 20), false, kBlue);
  }
  QImage img = c.image();
  EXPECT_EQ(img.pixel(9, 0), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(9, 15), qRgb(0, 0, 255));
  c.pset(QPointF(20, 0), false, kRed);
  EXPECT_EQ(img.pixel(20, 0), qRgb(255, 255, 255)) << "a copy handed out does not change";
  EXPECT_EQ(at(20, 0), kRed);
}

TEST_F(PixelCanvas, WidthStyleAndMode) {
  c.set_draw_width(5);
  c.line(QPointF(10, 50), false, QPointF(90, 50), false, kRed);
  EXPECT_EQ(at(50, 52), kRed);
  EXPECT_EQ(at(50, 56), kWhite);
  c.pset(QPointF(50, 20), false, kBlue);
  EXPECT_EQ(at(52, 20), kBlue);
  EXPECT_EQ(at(50, 22), kBlue);
  c.set_draw_width(1);

  // DrawStyle 5 draws nothing.
  c.set_draw_style(5);
  c.line(QPointF(0, 80), false, QPointF(99, 80), false, kRed);
  EXPECT_EQ(at(50, 80), kWhite);
  c.set_draw_style(0);

  // Xor twice restores; invert turns white black.
  c.set_draw_mode(7);
  c.line(QPointF(0, 90), false, QPointF(99, 90), false, kRed);
  EXPECT_EQ(at(50, 90), 0xFFFF00);  // white xor red
  c.line(QPointF(0, 90), false, QPointF(99, 90), false, kRed);
  EXPECT_EQ(at(50, 90), kWhite);
  c.set_draw_mode(6);
  c.pset(QPointF(3, 3), false, kRed);
  EXPECT_EQ(at(3, 3), kBlack);
  c.set_draw_mode(13);

  for (auto f : std::vector<std::function<void()>>{
           [&] { c.set_draw_width(0); }, [&] { c.set_draw_style(7); }, [&] { c.set_draw_mode(0); },
           [&] { c.set_draw_mode(17); }, [&] { c.set_fill_style(8); }, [&] { c.set_scale_mode(8); },
           [&] { c.set_scale_width(0); }, [&] { c.set_scale_height(0); }})
    EXPECT_EQ(error_of(f), 380);
  EXPECT_EQ(error_of([&] { c.scale(1, 1, 1, 5); }), 5);
}

TEST_F(PixelCanvas, PrintAdvancesCurrentY) {
  double h = c.text_height(u"Hg");
  ASSERT_GT(h, 5);
  EXPECT_DOUBLE_EQ(c.text_height(u"a\r\nb"), 2 * h);
  EXPECT_GT(c.text_width(u"WWWW"), c.text_width(u"W"));
  EXPECT_DOUBLE_EQ(c.text_width(u"ab\nWWWW"), c.text_width(u"WWWW"));

  c.set_current_x(10);
  c.set_current_y(5);
  c.print(u"HH");
  EXPECT_EQ(c.current_x(), 0);
  EXPECT_DOUBLE_EQ(c.current_y(), 5 + h);
  // The ink (smoothed at its edges) lies between the old and the new CurrentY, right of CurrentX.
  int ink = 0;
  for (int y = 5; y < 5 + h; ++y)
    for (int x = 10; x < 10 + c.text_width(u"HH"); ++x) ink += at(x, y) != kWhite;
  EXPECT_GT(ink, 5);
  EXPECT_EQ(100 * 100 - count(kWhite), ink) << "nothing drawn outside the text's box";

  // Two lines move two lines down; a print without a new line moves CurrentX instead.
  c.print(u"a\nb");
  EXPECT_DOUBLE_EQ(c.current_y(), 5 + 3 * h);
  c.print(u"ab", false);
  EXPECT_DOUBLE_EQ(c.current_x(), c.text_width(u"ab"));
  EXPECT_DOUBLE_EQ(c.current_y(), 5 + 3 * h);
  c.next_print_zone();
  double zone = c.current_x();
  EXPECT_GT(zone, c.text_width(u"ab"));
  c.next_print_zone();
  EXPECT_NEAR(c.current_x(), 2 * zone, 1e-9);
}

TEST_F(PixelCanvas, ClsClearsToBackColorAndResetsCurrentPoint) {
  c.line(QPointF(0, 0), false, QPointF(99, 99), false, kRed, Canvas::LineShape::kFilledBox);
  c.set_current_x(40);
  c.set_back_color(kBlue);  // a new BackColor clears as well
  EXPECT_EQ(count(kBlue), 100 * 100);
  c.pset(QPointF(10, 10), false, kRed);
  c.cls();
  EXPECT_EQ(count(kBlue), 100 * 100);
  EXPECT_EQ(c.current_x(), 0);
  EXPECT_EQ(c.current_y(), 0);

  // A picture shows under the drawing and comes back with Cls.
  QImage pic(10, 10, QImage::Format_RGB32);
  pic.fill(qRgb(0, 255, 0));
  c.set_picture(pic);
  c.pset(QPointF(5, 5), false, kRed);
  c.cls();
  EXPECT_EQ(at(5, 5), kGreen);
  EXPECT_EQ(at(15, 5), kBlue);
}

TEST(CanvasScale, StandardModes) {
  Canvas c(200, 100);
  struct Case { int16_t mode; double width, height; };
  for (Case k : {Case{kScaleTwips, 3000, 1500}, Case{kScalePoints, 150, 75}, Case{kScalePixels, 200, 100},
                 Case{kScaleCharacters, 25, 6.25}, Case{kScaleInches, 200.0 / 96, 100.0 / 96},
                 Case{kScaleMillimeters, 200 * 25.4 / 96, 100 * 25.4 / 96},
                 Case{kScaleCentimeters, 200 * 2.54 / 96, 100 * 2.54 / 96}}) {
    c.set_scale_mode(k.mode);
    EXPECT_NEAR(c.scale_width(), k.width, 1e-9) << k.mode;
    EXPECT_NEAR(c.scale_height(), k.height, 1e-9) << k.mode;
    EXPECT_EQ(c.scale_left(), 0);
    // The bottom right corner in this mode is the last pixel.
    QPointF px = c.to_pixels(k.width * 199.5 / 200, k.height * 99.5 / 100);
    EXPECT_NEAR(px.x(), 199.5, 1e-9);
    EXPECT_NEAR(px.y(), 99.5, 1e-9);
  }
}

TEST(CanvasScale, ScaleXAndScaleY) {
  Canvas c(200, 100);
  struct Case { double value; int16_t from, to; double x, y; };
  for (Case k : {Case{1, kScaleInches, kScaleTwips, 1440, 1440}, Case{1440, kScaleTwips, kScalePoints, 72, 72},
                 Case{1, kScaleCharacters, kScaleTwips, 120, 240}, Case{2540, kScaleHimetric, kScalePixels, 96, 96},
                 Case{10, kScaleMillimeters, kScaleCentimeters, 1, 1}, Case{15, kScaleTwips, kScalePixels, 1, 1}}) {
    EXPECT_NEAR(c.scale_x(k.value, k.from, k.to), k.x, 1e-9) << k.value << " " << k.from << "->" << k.to;
    EXPECT_NEAR(c.scale_y(k.value, k.from, k.to), k.y, 1e-9) << k.value << " " << k.from << "->" << k.to;
  }
  c.scale(0, 0, 400, 50);  // 2 user units a pixel across, half a unit down
  EXPECT_NEAR(c.scale_x(10, kScalePixels, kScaleUser), 20, 1e-9);
  EXPECT_NEAR(c.scale_y(10, kScalePixels, kScaleUser), 5, 1e-9);
  EXPECT_EQ(error_of([&] { c.scale_x(1, 9, kScaleTwips); }), 5);
  EXPECT_EQ(error_of([&] { c.scale_y(1, kScaleTwips, -1); }), 5);
}

TEST(CanvasScale, UserScales) {
  Canvas c(200, 100);
  c.set_scale_mode(kScalePixels);
  c.set_back_color(kWhite);
  // Scale (-10, 10)-(10, -10): origin in the middle, y upwards.
  c.scale(-10, 10, 10, -10);
  EXPECT_EQ(c.scale_mode(), kScaleUser);
  EXPECT_EQ(c.scale_width(), 20);
  EXPECT_EQ(c.scale_height(), -20);
  c.pset(QPointF(0, 0), false, kRed);
  EXPECT_EQ(c.image().pixel(100, 50), qRgb(255, 0, 0));
  c.pset(QPointF(5, 5), false, kBlue);
  EXPECT_EQ(c.image().pixel(150, 25), qRgb(0, 0, 255));
  QPointF back = c.from_pixels(QPointF(150, 25));
  EXPECT_NEAR(back.x(), 5, 1e-9);
  EXPECT_NEAR(back.y(), 5, 1e-9);

  // Setting one of the four keeps the others of the scale in use.
  Canvas d(200, 100);
  d.set_scale_mode(kScalePixels);
  d.set_scale_left(100);
  EXPECT_EQ(d.scale_mode(), kScaleUser);
  EXPECT_EQ(d.scale_width(), 200);
  EXPECT_NEAR(d.to_pixels(100, 0).x(), 0, 1e-9);
  d.set_scale_width(20);
  EXPECT_NEAR(d.to_pixels(110, 0).x(), 100, 1e-9);
  // A user scale keeps its units when the window grows; a fixed one keeps its pixel size.
  d.resize(400, 100);
  EXPECT_EQ(d.scale_width(), 20);
  EXPECT_NEAR(d.to_pixels(110, 0).x(), 200, 1e-9);
  d.reset_scale();
  EXPECT_EQ(d.scale_mode(), kScaleTwips);
  EXPECT_EQ(d.scale_left(), 0);
  EXPECT_EQ(d.scale_width(), 6000);
  // Back to ScaleMode 3 drops ScaleLeft.
  d.set_scale_left(7);
  d.set_scale_mode(kScalePixels);
  EXPECT_EQ(d.scale_left(), 0);
}

TEST_F(PixelCanvas, DrawingSurvivesResizeAndSignalsChangesOnce) {
  int changes = 0;
  c.image();
  c.set_changed_handler([&] { ++changes; });
  c.line(QPointF(0, 0), false, QPointF(99, 99), false, kRed);
  for (int i = 0; i < 100; ++i) c.pset(QPointF(i, 50), false, kBlue);
  EXPECT_EQ(changes, 1) << "one repaint for a burst of statements";
  QImage shown(100, 100, QImage::Format_RGB32);
  QPainter p(&shown);
  c.paint(p);
  p.end();
  EXPECT_EQ(shown.pixel(30, 30), qRgb(255, 0, 0));
  c.pset(QPointF(1, 1), false, kBlue);
  EXPECT_EQ(changes, 2);
  // A new canvas tells about its first statement.
  Canvas fresh(10, 10);
  int fresh_changes = 0;
  fresh.set_changed_handler([&] { ++fresh_changes; });
  fresh.pset(QPointF(15, 15), false, kRed);
  EXPECT_EQ(fresh_changes, 1);

  c.set_auto_redraw(true);
  c.resize(150, 120);
  EXPECT_EQ(c.size(), QSize(150, 120));
  EXPECT_EQ(at(30, 30), kRed);
  EXPECT_EQ(at(99, 99), kRed);
  EXPECT_EQ(at(10, 50), kBlue);
  EXPECT_EQ(at(120, 110), kWhite);  // new area in BackColor
  c.resize(50, 50);
  EXPECT_EQ(at(30, 30), kRed);
  EXPECT_EQ(at(60, 60), -1);
  // Absurd sizes are clamped, not allocated.
  c.resize(-5, 1 << 30);
  EXPECT_LE(c.size().height(), 16384);
  EXPECT_EQ(c.size().width(), 0);
  EXPECT_EQ(c.point(0, 0), -1);
  c.line(QPointF(0, 0), false, QPointF(10, 10), false, kRed);  // nothing to draw on, no crash
}

TEST_F(PixelCanvas, PaintPicture) {
  QImage pic(10, 10, QImage::Format_RGB32);
  pic.fill(qRgb(255, 0, 0));
  for (int y = 0; y < 10; ++y) pic.setPixel(0, y, qRgb(0, 0, 255));  // a blue left edge
  c.paint_picture(pic, 20, 20);
  EXPECT_EQ(at(25, 25), kRed);
  EXPECT_EQ(at(20, 25), kBlue);
  EXPECT_EQ(at(30, 25), kWhite);
  // Stretched to 20 x 20.
  c.paint_picture(pic, 50, 50, 20.0, 20.0);
  EXPECT_EQ(at(68, 68), kRed);
  EXPECT_EQ(at(51, 60), kBlue);
  // A negative width mirrors, spanning leftwards: the blue edge comes out on the right.
  c.cls();
  c.paint_picture(pic, 30, 20, -10.0, 10.0);
  EXPECT_EQ(at(29, 25), kBlue);
  EXPECT_EQ(at(20, 25), kRed);
  // A part of the source: columns 5..9 only (no blue).
  c.cls();
  c.paint_picture(pic, 0, 0, std::nullopt, std::nullopt, 5.0, 0.0, 5.0, 10.0);
  EXPECT_EQ(at(0, 5), kRed);
  EXPECT_EQ(at(5, 5), kWhite);
  // SRCAND with red on green leaves black; SRCINVERT on white gives cyan.
  c.line(QPointF(0, 0), false, QPointF(99, 99), false, kGreen, Canvas::LineShape::kFilledBox);
  c.paint_picture(pic, 0, 0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                  0x008800C6);
  EXPECT_EQ(at(5, 5), kBlack);
  c.cls();
  c.paint_picture(pic, 0, 0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                  0x00660046);
  EXPECT_EQ(at(5, 5), 0xFFFF00);
  EXPECT_EQ(error_of([&] { c.paint_picture(pic, 0, 0, 1e300); }), 5);
}

}  // namespace
}  // namespace qz
