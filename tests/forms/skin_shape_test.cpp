// The skinned button: a picture strip per state shown cell by cell, the mask colour cut out of
// the window, the text step, and the order of its paint and mouse events.
#include "platform/qt/controls/skin_shape.h"
#include "platform/qt/picture.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

QRgb rgb(QColor c) { return c.rgb() & 0xFFFFFF; }

Variant picture(QImage img) {
  Ref<Picture> p = make_ref<Picture>(std::move(img));
  return Variant(static_cast<Object*>(p.get()));
}
Variant solid(QSize size, QColor c) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(c);
  return picture(img);
}

class SkinShapeTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    code(u"Sub SkinShape1_Paint()\nlog = log & \"paint \"\nEnd Sub\n"
         u"Sub SkinShape1_MouseOver()\nlog = log & \"over \"\nEnd Sub\n"
         u"Sub SkinShape1_MouseOut()\nlog = log & \"out \"\nEnd Sub\n"
         u"Sub SkinShape1_MouseMove(Button, Shift, X, Y)\nlog = log & \"move\" & Button & \" \"\nEnd Sub\n"
         u"Sub SkinShape1_MouseDown(Button, Shift, X, Y)\nlog = log & \"down \"\nEnd Sub\n"
         u"Sub SkinShape1_MouseUp(Button, Shift, X, Y)\nlog = log & \"up \"\nEnd Sub\n"
         u"Sub SkinShape1_Click()\nlog = log & \"click \"\nEnd Sub\n"
         u"Sub SkinShape_Click(Index)\nlog = log & \"all\" & Index & \" \"\nEnd Sub\n"
         u"Sub SkinShape1_Over(Button, Shift, X, Y)\nlog = log & \"OVER?\"\nEnd Sub\n");
    form->show2(false);
    settle();
    add({Variant(u"skinshape"), Variant(int16_t{1}), Variant(u"Move 1500, 1500")});
    button = element(u"skinshape", 1);
    settle();
  }
  QRgb pixel(QPoint at) {
    settle();
    return widget(u"skinshape", 1)->grab().toImage().pixel(at) & 0xFFFFFF;
  }
  SkinStrips& strips() { return *dynamic_cast<SkinStrips*>(find_window(button->handle())); }
  ToolkitWindow* button = nullptr;
};

TEST_F(SkinShapeTest, NewButtonShowsTheBuiltInImage) {
  EXPECT_EQ(widget(u"skinshape", 1)->size(), QSize(16, 16));
  EXPECT_TRUE(to_bool(button->get(u"AutoSize")));
  EXPECT_TRUE(to_bool(button->get(u"AutoDraw")));
  EXPECT_EQ(to_u16(button->get(u"Text")), u"");
}

TEST_F(SkinShapeTest, ThreeStatesRenderedByPointerAndButton) {
  button->set(u"Picture", solid({40, 20}, Qt::red));
  button->set(u"HoverPicture", solid({40, 20}, Qt::green));
  button->set(u"DownPicture", solid({40, 20}, Qt::blue));
  EXPECT_EQ(widget(u"skinshape", 1)->size(), QSize(40, 20));  // AutoSize takes cell 0's size
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::red));
  clear_log();

  QWidget* top = form_widget();
  QTest::mouseMove(top, QPoint(110, 110));
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::green));
  EXPECT_EQ(strips().state(), 1);
  QTest::mouseMove(top, QPoint(112, 110));  // still inside: no second MouseOver
  EXPECT_EQ(log(), u"paint over move0 move0 ");

  clear_log();
  QTest::mousePress(widget(u"skinshape", 1), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::blue));
  QTest::mouseMove(top, QPoint(300, 300));  // held button: only MouseMove
  QTest::mouseRelease(widget(u"skinshape", 1), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::red));
  EXPECT_EQ(log(), u"paint down move1 paint up click all1 ");

  // The next move over the button is a new visit; leaving it is one MouseOut.
  clear_log();
  QTest::mouseMove(top, QPoint(110, 110));
  QTest::mouseMove(top, QPoint(300, 300));
  QTest::mouseMove(top, QPoint(310, 300));
  EXPECT_EQ(log(), u"paint over move0 paint out move0 ");
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::red));
}

TEST_F(SkinShapeTest, HoverWithoutPictureKeepsTheDefaultButDrawsTheHoverText) {
  button->set(u"Picture", solid({60, 30}, Qt::red));
  button->let(u"HoverText", Variant(u"HHHH"));
  button->let(u"ForeColor", Variant(int32_t{0xFFFFFF}));
  QTest::mouseMove(form_widget(), QPoint(110, 110));
  QImage img = widget(u"skinshape", 1)->grab().toImage();
  int white = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) white += qGreen(img.pixel(x, y)) > 128;  // the red has no green
  EXPECT_GT(white, 5);
  EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, rgb(Qt::red));
}

TEST_F(SkinShapeTest, PaintMainStepsThroughTheCellsOfAStrip) {
  // A strip of three cells, red, green, blue, 10 x 10 each.
  QImage strip(30, 10, QImage::Format_RGB32);
  strip.fill(Qt::red);
  for (int y = 0; y < 10; ++y)
    for (int x = 10; x < 30; ++x) strip.setPixel(x, y, x < 20 ? QColor(Qt::green).rgb() : QColor(Qt::blue).rgb());
  strips().set_strip_cells(0, 3, 1);
  button->set(u"Picture", picture(strip));
  EXPECT_EQ(widget(u"skinshape", 1)->size(), QSize(10, 10));
  std::vector<QRgb> seen;
  for (int i = 0; i < 4; ++i) {
    button->call(u"PaintMain");
    seen.push_back(pixel({5, 5}));
  }
  EXPECT_EQ(seen, (std::vector<QRgb>{rgb(Qt::red), rgb(Qt::green), rgb(Qt::blue), rgb(Qt::red)}));
  // AutoDraw off: painting changes no picture.
  button->let(u"AutoDraw", Variant(false));
  button->call(u"PaintMain");
  EXPECT_EQ(pixel({5, 5}), rgb(Qt::red));
}

TEST_F(SkinShapeTest, MaskColourIsNeitherDrawnNorHit) {
  button->set(u"Picture", solid({40, 20}, Qt::red));
  QImage mask(40, 20, QImage::Format_RGB32);
  mask.fill(Qt::black);
  for (int y = 0; y < 20; ++y)
    for (int x = 20; x < 40; ++x) mask.setPixel(x, y, QColor(255, 0, 255).rgb());
  button->let(u"MaskColor", Variant(int32_t{0xFF00FF}));
  button->set(u"MaskPicture", picture(mask));
  QRegion kept = widget(u"skinshape", 1)->mask();
  EXPECT_TRUE(kept.contains(QPoint(5, 5)));
  EXPECT_FALSE(kept.contains(QPoint(30, 5)));
  // The pointer over the cut-out half is not over the button.
  clear_log();
  QTest::mouseMove(form_widget(), QPoint(130, 105));
  EXPECT_EQ(log().find(u"over"), std::u16string::npos);
}

TEST_F(SkinShapeTest, TextPositionsAndImmediateDefaultText) {
  button->set(u"Picture", solid({100, 40}, Qt::black));
  button->let(u"ForeColor", Variant(int32_t{0xFFFFFF}));
  button->call(u"Text_X_Y", {Variant(int32_t{0}), Variant(int32_t{0})});
  button->let(u"Text", Variant(u"W"));
  QImage img = widget(u"skinshape", 1)->grab().toImage();
  int left = 0, right = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGreen(img.pixel(x, y)) > 128) (x < 50 ? left : right)++;
  EXPECT_GT(left, 0);
  EXPECT_EQ(right, 0);
}

}  // namespace
}  // namespace qz
