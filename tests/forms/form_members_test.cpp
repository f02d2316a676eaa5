// The form's members InitSkin, SaveBMP_File, SaveBMP_Handle, CreateControl and AddLicense,
// and a form unloaded during its own load.
#include <QImage>
#include <QPushButton>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "com/str.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

class FormMembersTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    dir = fs::temp_directory_path() / ("quazel_form_members_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    FormScriptTest::TearDown();
    fs::remove_all(dir);
  }
  std::u16string path(const char* name) { return (dir / name).u16string(); }
  // A white 20 x 10 image with a black block from (5, 2) to (14, 7).
  std::u16string write_mask(const char* name) {
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int y = 2; y < 8; ++y)
      for (int x = 5; x < 15; ++x) img.setPixel(x, y, qRgb(0, 0, 0));
    img.setPixel(18, 1, qRgb(0, 0, 0));
    std::string p = (dir / name).string();
    EXPECT_TRUE(img.save(QString::fromStdString(p)));
    return path(name);
  }
  static int error_number(const std::function<void()>& f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  fs::path dir;
};

TEST_F(FormMembersTest, InitSkinShapesTheWindowByTheMask) {
  form->show2(false);
  Ref<Object> mask = window_system().load_picture(write_mask("mask.png"));
  form->call(u"InitSkin", {Variant(mask.get()), Variant(mask.get())});
  QRegion shape = form_widget()->mask();
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));   // the corner's colour is the transparent one
  EXPECT_FALSE(shape.contains(QPoint(19, 9)));  // white anywhere is transparent
  EXPECT_TRUE(shape.contains(QPoint(5, 2)));
  EXPECT_TRUE(shape.contains(QPoint(14, 7)));
  EXPECT_FALSE(shape.contains(QPoint(15, 7)));
  EXPECT_TRUE(shape.contains(QPoint(18, 1)));  // a lone pixel is a run of its own
  // Not a picture: nothing changes and nothing is raised.
  form->call(u"InitSkin", {Variant(int32_t{5}), Variant(int32_t{5})});
  EXPECT_EQ(form_widget()->mask(), shape);
}

TEST_F(FormMembersTest, SaveBmpWritesBitmapFiles) {
  std::u16string png = write_mask("in.png");
  form->call(u"SaveBMP_File", {Variant(png), Variant(path("out.bmp"))});
  std::ifstream out(dir / "out.bmp", std::ios::binary);
  char magic[2] = {};
  out.read(magic, 2);
  EXPECT_EQ(std::string(magic, 2), "BM");
  QImage back(QString::fromStdString((dir / "out.bmp").string()));
  EXPECT_EQ(back.size(), QSize(20, 10));
  EXPECT_EQ(back.pixel(6, 3), qRgb(0, 0, 0));

  Ref<Object> picture = window_system().load_picture(png);
  form->call(u"SaveBMP_Handle", {Variant(picture.get()), Variant(path("handle.bmp"))});
  EXPECT_TRUE(fs::exists(dir / "handle.bmp"));

  // Failures write nothing and raise nothing.
  form->call(u"SaveBMP_File", {Variant(path("missing.png")), Variant(path("none.bmp"))});
  form->call(u"SaveBMP_Handle", {Variant(int32_t{3}), Variant(path("none2.bmp"))});
  form->call(u"SaveBMP_File", {Variant(png), Variant(path("no/such/dir/x.bmp"))});
  EXPECT_FALSE(fs::exists(dir / "none.bmp"));
  EXPECT_FALSE(fs::exists(dir / "none2.bmp"));
}

TEST_F(FormMembersTest, CreateControlOfABuiltInKind) {
  code(u"Sub Btn_Click()\nlog = log & \"btn \"\nEnd Sub\n"
       u"Sub Btn_KeyPress(KeyAscii)\nKeyAscii = 0\nEnd Sub\n"
       u"Sub Control_Event(Info)\nlog = log & \"ev:\" & Info.Name & \":\" & Info.EventParameters.Count & \" \"\n"
       u"If Info.Name = \"KeyPress\" Then Info.EventParameters.Item(0).Value = 0\nEnd Sub\n");
  form->show2(false);
  form->call(u"AddLicense", {Variant(u"Quazel.CommandButton"), Variant(u"")});
  Variant named = form->call(u"CreateControl", {Variant(u"quazel.commandbutton"), Variant(u"Btn")});
  ASSERT_TRUE(named.is_object());
  auto* button = qobject_cast<QPushButton*>(widget_of(dynamic_cast<ToolkitWindow*>(to_object(named))));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isVisible());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(log(), u"btn ");
  // A named procedure gets copies: its KeyAscii = 0 does not stop the space from pressing.
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(log(), u"btn btn ");

  clear_log();
  Variant unnamed = form->call(u"CreateControl", {Variant(u"Quazel.CommandButton"), Variant(u"")});
  QTest::mouseClick(widget_of(dynamic_cast<ToolkitWindow*>(to_object(unnamed))), Qt::LeftButton);
  // Every event of the control reaches Control_Event, with its parameters.
  EXPECT_NE(log().find(u"ev:MouseDown:4 "), std::u16string::npos) << u16_to_utf8(log());
  EXPECT_NE(log().find(u"ev:Click:0 "), std::u16string::npos);
  // Control_Event works on the event's own parameters: a KeyAscii set to 0 swallows the space.
  clear_log();
  QTest::keyClick(widget_of(dynamic_cast<ToolkitWindow*>(to_object(unnamed))), Qt::Key_Space);
  EXPECT_EQ(log(), u"ev:KeyPress:1 ");

  // A class no one answers to reaches the script as 429, and adds nothing.
  size_t before = static_cast<size_t>(to_long(form->get(u"Controls").as_object()->get(u"Count")));
  EXPECT_EQ(error_number([&] { form->call(u"CreateControl", {Variant(u"No.SuchControl"), Variant(u"x")}); }), 429);
  EXPECT_EQ(static_cast<size_t>(to_long(form->get(u"Controls").as_object()->get(u"Count"))), before);
}

TEST_F(FormMembersTest, AFormUnloadedDuringItsLoadStaysUnloaded) {
  code(u"Sub Form_Load()\nlog = log & \"load \"\nForm1.UnloadForm\nEnd Sub\n"
       u"Sub Form_Activate()\nlog = log & \"activate \"\nEnd Sub\n");
  form->call(u"Show2", {Variant(false)});
  settle();
  EXPECT_EQ(log(), u"load ");
  EXPECT_FALSE(form->window_loaded());
  EXPECT_FALSE(form->script_loaded());
  // Also when the form had no window before Show2 asked for one, and a later Show2 is a new load.
  form->call(u"Show2", {Variant(false)});
  EXPECT_EQ(log(), u"load load ");
}

}  // namespace
}  // namespace qz
