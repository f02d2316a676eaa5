// The progress bar draws itself: the filled part by its drawing mode over the background and
// the text, the text centred on the bar or on the filled part, the edge; only BarProcent
// redraws by itself. Checked on the pixels of the widget, and its events by procedure runs.
#include "platform/qt/picture.h"
#include "platform/qt/raster_ops.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

const QRgb kWhite = qRgb(255, 255, 255), kBlue = qRgb(0, 0, 255), kGreen = qRgb(0, 255, 0);

class ProgressBarTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
    // 200 x 20 pixels.
    add({Variant(u"progressbar"), Variant(int16_t{1}), Variant(u"Width=3000"), Variant(u"Height=300")});
    bar = element(u"progressbar", 1);
    settle();
  }
  QImage pixels() {
    settle();
    return widget(u"progressbar", 1)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  // How many pixels of a column range have a colour.
  static int count(const QImage& img, QRgb colour, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = x0; x < x1; ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
  }
  // How many differ from it: text (drawn smooth) in a range of one colour.
  static int others(const QImage& img, QRgb colour, int x0, int x1) {
    return (x1 - x0) * img.height() - count(img, colour, x0, x1);
  }
  void set(std::u16string_view name, Variant v) { bar->let(name, v); }
  ToolkitWindow* bar = nullptr;
};

TEST_F(ProgressBarTest, NewBarShowsZeroPercentInBlueOnWhite) {
  QImage img = pixels();
  ASSERT_EQ(img.size(), QSize(200, 20));
  EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, kWhite & 0xFFFFFF);   // no filled part, no edge
  EXPECT_GT(others(img, kWhite, 80, 120), 5);                 // the text "0 %" in the middle
  EXPECT_EQ(others(img, kWhite, 0, 60), 0);
  EXPECT_EQ(to_u16(bar->get(u"BarText")), u"");
  EXPECT_EQ(to_long(bar->get(u"BarFonType")), 10);
  EXPECT_EQ(to_long(bar->get(u"BarColor")), 0xFF0000);
}

TEST_F(ProgressBarTest, PercentIsClampedAndRedrawsAtOnce) {
  struct Case {
    int given, stored;
  };
  for (Case c : {Case{150, 100}, Case{-5, 0}, Case{42, 42}}) {
    set(u"BarProcent", Variant(int32_t{c.given}));
    EXPECT_EQ(to_long(bar->get(u"BarProcent")), c.stored) << c.given;
  }
  // 42 % of the 202-pixel buffer is 85 pixels: blue up to there, white beyond, far from the text.
  QImage img = pixels();
  EXPECT_EQ(img.pixel(5, 2) & 0xFFFFFF, kBlue & 0xFFFFFF);
  EXPECT_EQ(img.pixel(83, 2) & 0xFFFFFF, kBlue & 0xFFFFFF);
  EXPECT_EQ(img.pixel(87, 2) & 0xFFFFFF, kWhite & 0xFFFFFF);
  EXPECT_EQ(img.pixel(195, 2) & 0xFFFFFF, kWhite & 0xFFFFFF);
}

TEST_F(ProgressBarTest, TextInsideTheFilledPartTurnsWhite) {
  set(u"BarProcent", Variant(int32_t{100}));
  QImage img = pixels();
  // Everything is blue but the text, which not-xor-pen turns white.
  EXPECT_GT(others(img, kBlue, 60, 140), 5);
  EXPECT_EQ(others(img, kBlue, 0, 40), 0);
  EXPECT_GT(count(img, kBlue, 0, 200), 200 * 20 / 2);
}

TEST_F(ProgressBarTest, DrawingModesCombineTheBoxWithWhatIsUnder) {
  struct Case {
    int mode;
    QRgb left;  // a pixel of the box away from the text, over the white background
  };
  for (Case c : {Case{13, kBlue}, Case{11, kWhite}, Case{1, qRgb(0, 0, 0)}, Case{6, qRgb(0, 0, 0)},
                 Case{7, qRgb(255, 255, 0)}, Case{16, kWhite}}) {
    set(u"BarFonType", Variant(int32_t{c.mode}));
    set(u"BarProcent", Variant(int32_t{100}));
    EXPECT_EQ(pixels().pixel(5, 2) & 0xFFFFFF, c.left & 0xFFFFFF) << "mode " << c.mode;
  }
  // Copy pen paints over the text: nothing but blue.
  set(u"BarFonType", Variant(int32_t{13}));
  set(u"BarProcent", Variant(int32_t{100}));
  EXPECT_EQ(count(pixels(), kBlue, 0, 200), 200 * 20);
}

TEST_F(ProgressBarTest, OtherPropertiesWaitForRefresh) {
  set(u"BarProcent", Variant(int32_t{100}));
  set(u"BarColor", Variant(int32_t{0x00FF00}));
  EXPECT_EQ(pixels().pixel(5, 2) & 0xFFFFFF, kBlue & 0xFFFFFF);
  bar->call(u"Refresh");
  EXPECT_EQ(pixels().pixel(5, 2) & 0xFFFFFF, kGreen & 0xFFFFFF);
}

TEST_F(ProgressBarTest, TextOffScrollAndOwnText) {
  set(u"BarTextOff", Variant(int32_t{1}));
  bar->call(u"Refresh");
  EXPECT_EQ(others(pixels(), kWhite, 0, 200), 0);

  // Centred on the end of the filled part: at 0 % half the text lies outside the bar.
  set(u"BarTextOff", Variant(int32_t{0}));
  set(u"BarTextScroll", Variant(int32_t{1}));
  bar->call(u"Refresh");
  QImage img = pixels();
  EXPECT_GT(others(img, kWhite, 0, 15), 0);
  EXPECT_EQ(others(img, kWhite, 40, 200), 0);

  // A text of its own replaces the percentage; an empty one brings it back at the next redraw.
  set(u"BarTextScroll", Variant(int32_t{0}));
  set(u"BarText", Variant(u"WWWWWWWWWWWWWWWWWW"));
  bar->call(u"Refresh");
  int wide = others(pixels(), kWhite, 0, 200);
  set(u"BarText", Variant(u""));
  bar->call(u"Refresh");
  EXPECT_GT(wide, others(pixels(), kWhite, 0, 200) * 2);
}

TEST_F(ProgressBarTest, EdgeAndBackgroundPicture) {
  set(u"BarBorder", Variant(int32_t{1}));
  bar->call(u"Refresh");
  QImage img = pixels();
  // A sunken edge: shadow at the top and left, highlight at the bottom and right.
  EXPECT_EQ(img.pixel(0, 10) & 0xFFFFFF, qRgb(160, 160, 160) & 0xFFFFFF);
  EXPECT_EQ(img.pixel(199, 10) & 0xFFFFFF, kWhite & 0xFFFFFF);
  EXPECT_EQ(img.pixel(5, 5) & 0xFFFFFF, kWhite & 0xFFFFFF);

  // Mode 3 (AND) with a red picture: white AND red is red.
  QImage red(300, 40, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  Ref<Picture> picture = make_ref<Picture>(red);
  set(u"BarBorder", Variant(int32_t{0}));
  bar->set(u"Picture", Variant(static_cast<Object*>(picture.get())));
  set(u"BarFonON", Variant(int32_t{3}));
  bar->call(u"Refresh");
  EXPECT_EQ(pixels().pixel(150, 2) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
  // Any mode outside 1..3 copies nothing.
  set(u"BarFonON", Variant(int32_t{4}));
  bar->call(u"Refresh");
  EXPECT_EQ(pixels().pixel(150, 2) & 0xFFFFFF, kWhite & 0xFFFFFF);
}

TEST_F(ProgressBarTest, EventsAndArrayWideClick) {
  code(u"Sub ProgressBar1_Click()\nlog = log & \"click \"\nEnd Sub\n"
       u"Sub ProgressBar_Click(Index)\nlog = log & \"all\" & Index & \" \"\nEnd Sub\n"
       u"Sub ProgressBar1_MouseDown(Button, Shift, X, Y)\nlog = log & \"down\" & Button & \" \"\nEnd Sub\n"
       u"Sub ProgressBar1_KeyDown(KeyCode, Shift)\nlog = log & \"keydown \"\nEnd Sub\n"
       u"Sub ProgressBar1_KeyPress(KeyAscii)\nlog = log & \"press\" & KeyAscii & \" \"\nEnd Sub\n");
  QWidget* w = widget(u"progressbar", 1);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, 10));
  w->setFocus();
  QTest::keyClick(w, Qt::Key_A);
  EXPECT_EQ(log(), u"down1 click all1 press97 ");
}

TEST(RasterOps, SixteenModesOnOnePixel) {
  // A pen and a background whose bits meet in every combination; each mode against its formula.
  const uint32_t pen = 0x00F0F0, dest = 0x0FF00F;
  const uint32_t expected[17] = {0,
                                 0,
                                 ~(pen | dest),
                                 ~pen & dest,
                                 ~pen,
                                 pen & ~dest,
                                 ~dest,
                                 pen ^ dest,
                                 ~(pen & dest),
                                 pen & dest,
                                 ~(pen ^ dest),
                                 dest,
                                 ~pen | dest,
                                 pen,
                                 pen | ~dest,
                                 pen | dest,
                                 0xFFFFFF};
  for (int mode = 1; mode <= 16; ++mode) {
    QImage img(1, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, 0xFF000000u | dest);
    fill_with_mode(img, QRect(0, 0, 5, 5), QColor::fromRgb(0xFF000000u | pen), mode);
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, expected[mode] & 0xFFFFFF) << "mode " << mode;
  }
  QImage img(1, 1, QImage::Format_RGB32);
  img.fill(Qt::white);
  fill_with_mode(img, img.rect(), Qt::black, 0);  // no such mode: nothing drawn
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace qz
