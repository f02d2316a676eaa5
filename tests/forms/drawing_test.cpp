// Drawing through script on picture boxes and forms, checked by the pixels the windows show;
// the picture kinds (image, shape, line, picture clip) and the OLE container's Resize.
#include <QImage>

#include <filesystem>

#include "com/str.h"
#include "platform/qt/picture.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

constexpr QRgb kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr int kBorder = 2;  // a picture box's sunken border, in pixels

class DrawingTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
  }
  // Statements in the form's module; "\n" ends lines.
  void run(std::u16string_view statements) { module->execute_statement(crlf(statements)); }
  int error_of(std::u16string statement) {
    try {
      run(statement);
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  // What the window shows now, as the screen would get it.
  static QImage shown(QWidget* w) {
    settle();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  // A white 200 x 200 picture box in pixel scale (Pic1), and its widget.
  QWidget* white_picture_box() {
    add({Variant(u"pic"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3060, 3060")});
    run(u"Set p = Form1.Pic(1)\np.ScaleMode = 3\np.BackColor = &HFFFFFF\np.ForeColor = 0");
    return widget(u"pic", 1);
  }
  // The colour at drawing position (x, y) of the white picture box.
  static QRgb at(const QImage& img, int x, int y) { return img.pixel(x + kBorder, y + kBorder); }
};

// Each drawing call with its flags word, and the pixels it must and must not colour.
struct DrawCase {
  const char16_t* code;
  QPoint on;      // coloured red
  QPoint off;     // still white
};

TEST_F(DrawingTest, FlagsWordsOfLineCirclePSetOnAPictureBox) {
  const DrawCase cases[] = {
      {u"p.PSet 2, 10, 10, vbRed", {10, 10}, {11, 10}},
      {u"p.Line 6, 0, 50, 100, 50, vbRed", {50, 50}, {50, 51}},
      {u"p.CurrentX = 5: p.CurrentY = 5: p.Line 2, 99, 99, 40, 5, vbRed", {20, 5}, {99, 99}},  // from CurrentX/Y
      {u"p.CurrentX = 5: p.CurrentY = 5: p.Line 7, 10, 10, 30, 30, vbRed", {15, 15}, {10, 10}},  // Step first point
      {u"p.Line 14, 10, 10, 20, 0, vbRed", {25, 10}, {31, 10}},   // Step second point: to (30, 10)
      {u"p.Line 22, 10, 10, 40, 40, vbRed", {10, 25}, {25, 25}},  // box: outline only
      {u"p.Line 38, 10, 10, 40, 40, vbRed", {25, 25}, {45, 45}},  // filled box
      {u"p.Circle 2, 100, 100, 30, vbRed", {130, 100}, {100, 100}},
      {u"p.Circle 450, 100, 100, 30, vbRed, 0, 3.14159, 1", {100, 70}, {100, 130}},  // upper half only
      {u"p.CurrentX = 50: p.CurrentY = 50: p.Circle 3, 10, 0, 5, vbRed", {65, 50}, {50, 50}},  // Step centre
  };
  QWidget* w = white_picture_box();
  for (const DrawCase& k : cases) {
    run(u"p.Cls");
    run(k.code);
    QImage img = shown(w);
    EXPECT_EQ(at(img, k.on.x(), k.on.y()), kRed) << u16_to_utf8(k.code);
    EXPECT_EQ(at(img, k.off.x(), k.off.y()), kWhite) << u16_to_utf8(k.code);
  }
  // Without the colour flag the colour given is not used: ForeColor is the ink. Point reads
  // back what was drawn.
  run(u"p.Cls\np.PSet 0, 10, 10, vbRed");
  EXPECT_EQ(at(shown(w), 10, 10), 0xFF000000);
  run(u"p.PSet 2, 3, 4, vbBlue");
  EXPECT_EQ(to_long(module->eval(u"p.Point(3, 4)")), 0xFF0000);
  EXPECT_EQ(to_long(module->eval(u"p.Point(-5, 4)")), -1);
}

TEST_F(DrawingTest, ScaleTextAndStateMembers) {
  white_picture_box();
  // 200 x 200 pixels inside the border: 3000 twips, and a user scale over them.
  EXPECT_EQ(to_double(module->eval(u"p.ScaleWidth")), 200);
  run(u"p.ScaleMode = 1");
  EXPECT_EQ(to_double(module->eval(u"p.ScaleWidth")), 3000);
  run(u"p.Scale 0, 0, 10, 20");
  EXPECT_EQ(to_long(module->eval(u"p.ScaleMode")), 0);
  EXPECT_EQ(to_double(module->eval(u"p.ScaleHeight")), 20);
  run(u"p.Line 38, 0, 0, 5, 10, vbRed");  // the top left quarter
  QImage img = shown(widget(u"pic", 1));
  EXPECT_EQ(at(img, 90, 90), kRed);
  EXPECT_EQ(at(img, 110, 110), kWhite);
  run(u"p.Scale");
  EXPECT_EQ(to_long(module->eval(u"p.ScaleMode")), 1);
  EXPECT_EQ(to_double(module->eval(u"p.ScaleX(2540, 8, 1)")), 1440);  // a HIMETRIC inch in twips
  EXPECT_EQ(to_double(module->eval(u"p.ScaleY(1, 5, 3)")), 96);       // an inch in pixels
  EXPECT_GT(to_double(module->eval(u"p.TextWidth(\"Hello\")")), to_double(module->eval(u"p.TextWidth(\"Hi\")")));
  double line = to_double(module->eval(u"p.TextHeight(\"x\")"));
  EXPECT_DOUBLE_EQ(to_double(module->eval(u"p.TextHeight(\"x\" & vbCrLf & \"y\")")), 2 * line);
  // Print moves down a line and back to the left edge.
  run(u"p.CurrentX = 100: p.CurrentY = 0: p.Print \"ab\", 1");
  EXPECT_EQ(to_double(module->eval(u"p.CurrentX")), 0);
  EXPECT_DOUBLE_EQ(to_double(module->eval(u"p.CurrentY")), line);
  run(u"p.FontSize = 20");
  EXPECT_GT(to_double(module->eval(u"p.TextHeight(\"x\")")), line);
  EXPECT_EQ(to_double(module->eval(u"Form1.Pic(1).FontSize")), 20);

  // Bad values raise, and leave the state as it was.
  struct Bad { const char16_t* code; int error; };
  for (Bad b : {Bad{u"p.DrawWidth = 0", 380}, Bad{u"p.DrawStyle = 7", 380}, Bad{u"p.DrawMode = 17", 380},
                Bad{u"p.FillStyle = 8", 380}, Bad{u"p.ScaleMode = 8", 380}, Bad{u"p.ScaleWidth = 0", 380},
                Bad{u"p.Scale 0, 0, 0, 5", 5}, Bad{u"x = p.ScaleX(1, 9)", 5}, Bad{u"p.FontSize = -1", 380},
                Bad{u"p.PaintPicture 5, 0, 0", 481}, Bad{u"Set p.Picture = Form1", 481}})
    EXPECT_EQ(error_of(b.code), b.error) << u16_to_utf8(b.code);
  EXPECT_EQ(to_long(module->eval(u"p.DrawWidth")), 1);
}

TEST_F(DrawingTest, PictureImageAndClsOnAPictureBox) {
  QWidget* w = white_picture_box();
  QImage src(20, 10, QImage::Format_RGB32);
  src.fill(kGreen);
  fs::path file = fs::temp_directory_path() / ("quazel_drawing_" + std::to_string(::getpid()) + ".png");
  ASSERT_TRUE(src.save(QString::fromStdString(file.string())));
  run(u"Set p.Picture = LoadPicture(\"" + file.u16string() + u"\")");
  fs::remove(file);
  EXPECT_EQ(to_u16(module->eval(u"TypeName(p.Picture)")), u"Picture");
  run(u"p.PSet 2, 5, 5, vbRed\np.PSet 2, 50, 50, vbRed");
  QImage img = shown(w);
  EXPECT_EQ(at(img, 5, 5), kRed);     // drawing over the picture
  EXPECT_EQ(at(img, 6, 5), kGreen);   // the picture under it
  EXPECT_EQ(at(img, 25, 5), kWhite);  // beyond the picture: BackColor
  // Image is what is drawn now, a picture of its own that later drawing does not change.
  run(u"Set snap = p.Image\np.Cls");
  img = shown(w);
  EXPECT_EQ(at(img, 5, 5), kGreen);  // Cls restores the picture
  EXPECT_EQ(at(img, 50, 50), kWhite);
  run(u"p.PaintPicture snap, 100, 100, , , 50, 50, 1, 1");
  EXPECT_EQ(at(shown(w), 100, 100), kRed);
  run(u"Set p.Picture = Nothing");
  EXPECT_TRUE(to_bool(module->eval(u"p.Picture Is Nothing")));
  EXPECT_EQ(at(shown(w), 5, 5), kWhite);
}

TEST_F(DrawingTest, FormDrawingShowsAndSurvivesRepaints) {
  code(u"Dim paints\nSub Form_Paint()\npaints = paints + 1\nForm1.Line 38, 100, 0, 110, 10, vbBlue\nEnd Sub\n");
  run(u"Form1.ScaleMode = 3\nForm1.BackColor = &HFFFFFF\nForm1.Line 38, 10, 10, 50, 50, vbRed");
  run(u"Form1.Circle 2, 150, 100, 20, vbGreen");
  QImage img = shown(form_widget());
  EXPECT_EQ(img.pixel(30, 30), kRed);
  EXPECT_EQ(img.pixel(170, 100), kGreen);
  EXPECT_EQ(img.pixel(60, 60), kWhite);
  // A Paint procedure draws before the window is shown, so its drawing is there at once.
  EXPECT_EQ(img.pixel(105, 5), kBlue);
  // Covered and uncovered: the window is painted again from the kept drawing.
  run(u"paints = 0");
  form_widget()->repaint();
  EXPECT_EQ(shown(form_widget()).pixel(30, 30), kRed);
  EXPECT_GE(to_long(module->eval(u"paints")), 1);
  // With AutoRedraw on there are no Paint events; the drawing is kept all the same.
  run(u"Form1.AutoRedraw = True\npaints = 0");
  form_widget()->repaint();
  img = shown(form_widget());
  EXPECT_EQ(img.pixel(30, 30), kRed);
  EXPECT_EQ(to_long(module->eval(u"paints")), 0);
  // The form's Image is its drawing.
  EXPECT_EQ(to_long(module->eval(u"Form1.Point(30, 30)")), 0x0000FF);
  run(u"Form1.Cls");
  EXPECT_EQ(shown(form_widget()).pixel(30, 30), kWhite);
}

TEST_F(DrawingTest, PictureBoxEventsInItsOwnScale) {
  code(u"Sub Pic1_Paint()\nlog = log & \"paint \"\nEnd Sub\n"
       u"Sub Pic1_Resize()\nlog = log & \"resize \"\nEnd Sub\n"
       u"Sub Pic1_MouseDown(Button, Shift, X, Y)\nlog = log & \"down \" & X & \",\" & Y & \" \"\nEnd Sub\n");
  QWidget* w = white_picture_box();
  run(u"p.Visible = True");
  settle();
  clear_log();
  // Pixel scale: the position inside the border; then a user scale of 0..1 across.
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(12, 22));
  EXPECT_EQ(log(), u"down 10,20 ");
  run(u"p.Scale 0, 0, 1, 1");
  clear_log();
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(102, 52));
  EXPECT_EQ(log(), u"down 0.5,0.25 ");
  clear_log();
  run(u"p.Move 0, 0, 4560, 3060");
  settle();
  EXPECT_NE(log().find(u"resize "), std::u16string::npos);
  run(u"p.ScaleMode = 3");
  EXPECT_EQ(to_double(module->eval(u"p.ScaleWidth")), 300);
  clear_log();
  w->repaint();
  EXPECT_EQ(log(), u"paint ");
  run(u"p.AutoRedraw = True");
  clear_log();
  w->repaint();
  EXPECT_EQ(log(), u"");
}

TEST_F(DrawingTest, SysDrawingMembersReachPictureBoxes) {
  // The same calls sys.CLine, sys.CCircle and sys.CPset make, on an element of an array.
  QWidget* w = white_picture_box();
  run(u"Form1.Pic(1).Line 38, 0, 0, 9, 9, vbRed\nForm1.Pic(1).PSet 2, 20, 20, vbBlue");
  QImage img = shown(w);
  EXPECT_EQ(at(img, 5, 5), kRed);
  EXPECT_EQ(at(img, 20, 20), kBlue);
}

// ---- the picture kinds ----

TEST_F(DrawingTest, ImageControlTakesThePictureSizeUnlessStretched) {
  QImage src(30, 20, QImage::Format_RGB32);
  src.fill(kBlue);
  src.setPixel(0, 0, kRed);
  fs::path file = fs::temp_directory_path() / ("quazel_image_" + std::to_string(::getpid()) + ".bmp");
  ASSERT_TRUE(src.save(QString::fromStdString(file.string())));
  add({Variant(u"cimage"), Variant(int16_t{1}), Variant(u"Move 150, 150, 1500, 1500")});
  run(u"Set im = Form1.CImage(1)\nSet im.Picture = LoadPicture(\"" + file.u16string() + u"\")");
  fs::remove(file);
  EXPECT_EQ(to_u16(module->eval(u"TypeName(im)")), u"Image");
  EXPECT_EQ(to_double(module->eval(u"im.Width")), 30 * 15);
  EXPECT_EQ(to_double(module->eval(u"im.Height")), 20 * 15);
  QImage img = shown(widget(u"cimage", 1));
  EXPECT_EQ(img.pixel(0, 0), kRed);
  EXPECT_EQ(img.pixel(29, 19), kBlue);
  run(u"im.Stretch = True\nim.Move 150, 150, 900, 600");  // twice the picture's size
  img = shown(widget(u"cimage", 1));
  EXPECT_EQ(img.size(), QSize(60, 40));
  EXPECT_EQ(img.pixel(1, 1), kRed);
  EXPECT_EQ(img.pixel(59, 39), kBlue);
  EXPECT_EQ(error_of(u"Set im.Picture = Form1"), 481);
}

TEST_F(DrawingTest, ShapesAndLinesDrawWhatTheySay) {
  run(u"Form1.ScaleMode = 3\nForm1.BackColor = &HFFFFFF");
  // A filled circle in a wide control: centred, round.
  add({Variant(u"cshape"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3000, 1500"), Variant(u"Shape=3"),
       Variant(u"FillStyle=0"), Variant(u"FillColor=255"), Variant(u"BorderColor=255")});
  add({Variant(u"cline"), Variant(int16_t{1}), Variant(u"X1=0"), Variant(u"Y1=3000"), Variant(u"X2=3000"),
       Variant(u"Y2=3000"), Variant(u"BorderColor=16711680"), Variant(u"BorderWidth=3")});
  run(u"Form1.CShape(1).Visible = True\nForm1.CLine(1).Visible = True");
  EXPECT_EQ(to_u16(module->eval(u"TypeName(Form1.CShape(1)) & TypeName(Form1.CLine(1))")), u"ShapeLine");
  QImage img = shown(form_widget());
  EXPECT_EQ(img.pixel(100, 50), kRed);    // the centre
  EXPECT_EQ(img.pixel(10, 50), kWhite);   // left of the circle
  EXPECT_EQ(img.pixel(100, 200), kBlue);  // on the line at y = 3000 twips
  EXPECT_EQ(img.pixel(100, 199), kBlue);  // three pixels wide
  EXPECT_EQ(img.pixel(100, 205), kWhite);
  // A rectangle with a transparent inside shows what is below it.
  run(u"Form1.CShape(1).Shape = 0\nForm1.CShape(1).FillStyle = 1");
  img = shown(form_widget());
  EXPECT_EQ(img.pixel(100, 50), kWhite);
  EXPECT_EQ(img.pixel(0, 50), kRed);  // the border
  EXPECT_EQ(error_of(u"Form1.CShape(1).Shape = 6"), 380);
  EXPECT_EQ(error_of(u"Form1.CLine(1).BorderWidth = 0"), 380);
}

TEST_F(DrawingTest, PictureClipCellsAndClips) {
  // A 40 x 20 picture of 4 x 2 cells of 10 x 10, cell i coloured i * 10 in red.
  QImage src(40, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) src.setPixel(x, y, qRgb((y / 10 * 4 + x / 10) * 10, 0, 0));
  fs::path file = fs::temp_directory_path() / ("quazel_clip_" + std::to_string(::getpid()) + ".bmp");
  ASSERT_TRUE(src.save(QString::fromStdString(file.string())));
  add({Variant(u"picclip"), Variant(int16_t{1})});
  run(u"Set c = Form1.PicClip(1)");
  EXPECT_EQ(error_of(u"x = c.GraphicCell(0)"), 481);  // no picture yet
  run(u"Set c.Picture = LoadPicture(\"" + file.u16string() + u"\")\nc.Rows = 2\nc.Cols = 4");
  fs::remove(file);
  EXPECT_EQ(to_long(module->eval(u"c.CellWidth")), 10);
  EXPECT_EQ(to_long(module->eval(u"c.CellHeight")), 10);
  // Cell 6 (second row, third column) as a picture: 10 x 10 pixels, its colour; a form can
  // paint it to show it.
  run(u"Set cell = c.GraphicCell(6)\nForm1.ScaleMode = 3\nForm1.PaintPicture cell, 0, 0");
  EXPECT_EQ(to_long(module->eval(u"cell.Width")), pixels_to_himetric(10));
  EXPECT_EQ(to_long(module->eval(u"Form1.Point(5, 5)")), 60);
  run(u"c.ClipX = 15: c.ClipY = 5: c.ClipWidth = 10: c.ClipHeight = 10\nForm1.PaintPicture c.Clip, 0, 0");
  EXPECT_EQ(to_long(module->eval(u"Form1.Point(0, 0)")), 10);   // from cell 1
  EXPECT_EQ(to_long(module->eval(u"Form1.Point(9, 9)")), 60);   // from cell 6
  for (const char16_t* bad : {u"x = c.GraphicCell(8)", u"x = c.GraphicCell(-1)", u"c.Rows = 0",
                              u"c.ClipWidth = 100: x = c.Clip", u"c.ClipX = -1"})
    EXPECT_EQ(error_of(bad), 380) << u16_to_utf8(bad);
}

TEST_F(DrawingTest, OleResizeGivesHeightThenWidthAndTakesTheAnswer) {
  code(u"Sub OLE1_Resize(HeightNew, WidthNew)\nlog = log & HeightNew & \"x\" & WidthNew & \" \"\n"
       u"If WidthNew > 3000 Then WidthNew = 3000\nEnd Sub\n");
  add({Variant(u"ole"), Variant(int16_t{1}), Variant(u"Move 0, 0, 1500, 750")});
  run(u"Form1.OLE(1).Visible = True");
  settle();
  clear_log();
  run(u"Form1.OLE(1).Move 0, 0, 4500, 900");
  settle();
  EXPECT_EQ(log(), u"900x4500 ");
  EXPECT_EQ(to_double(module->eval(u"Form1.OLE(1).Width")), 3000);  // the procedure's answer
  EXPECT_EQ(to_double(module->eval(u"Form1.OLE(1).Height")), 900);
}

}  // namespace
}  // namespace qz
