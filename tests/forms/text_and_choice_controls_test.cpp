// Text boxes, labels, check boxes, option buttons and frames as a script uses them: their
// members, and the Change and Click procedures that assignments and the user's input run.
#include <QLineEdit>

#include "tests/forms/form_script_fixture.h"
#include "tests/support/error_of.h"

namespace qz {
namespace {

class TextAndChoiceControlsTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
  }
  void run(std::u16string_view statement) { control->execute_statement(statement); }
  Variant eval(std::u16string_view expression) { return control->eval(expression); }
  std::u16string eval_text(std::u16string_view expression) { return to_u16(eval(expression)); }
  int32_t let_error(std::u16string_view kind, int16_t index, std::u16string_view member, Variant value) {
    return error_of([&] { element(kind, index)->let(member, value); });
  }
};

TEST_F(TextAndChoiceControlsTest, ChangeRunsForEveryChangeOfTheTextOnly) {
  code(u"Sub Text1_Change()\nDim t : t = Form1.Text(1).Text\nlog = log & \"[\" & t & \"]\"\n"
       u"If t = \"again\" Then Form1.Text(1).Text = \"nested\"\nEnd Sub\n");
  add({Variant(u"text"), Variant(int16_t{1}), Variant(u"Text=abc")});
  EXPECT_EQ(log(), u"[abc]");
  run(u"Form1.Text(1).Text = \"abc\"");  // the same text: no change
  EXPECT_EQ(log(), u"[abc]");
  // A Change procedure that assigns runs again, nested, for its own assignment.
  run(u"Form1.Text(1).Text = \"again\"");
  EXPECT_EQ(log(), u"[abc][again][nested]");
  clear_log();
  run(u"Form1.Text(1).SelStart = 1 : Form1.Text(1).SelLength = 2");
  EXPECT_EQ(eval_text(u"Form1.Text(1).SelText"), u"es");
  run(u"Form1.Text(1).SelText = \"X\"");
  EXPECT_EQ(log(), u"[nXted]");
  EXPECT_EQ(eval_text(u"Form1.Text(1).SelStart & \"/\" & Form1.Text(1).SelLength"), u"2/0");
  run(u"Form1.Text(1) = \"by default\"");  // Text is the default member
  EXPECT_EQ(log(), u"[nXted][by default]");
  // An assignment leaves the caret at the start.
  EXPECT_EQ(eval_text(u"Form1.Text(1).SelStart"), u"0");
}

TEST_F(TextAndChoiceControlsTest, MultiLineTextCountsALineBreakAsTwoCharacters) {
  add({Variant(u"mtext"), Variant(int16_t{1}), Variant(u"~Text=\"ab\" & vbCrLf & \"cd\"")});
  EXPECT_EQ(eval_text(u"Form1.MText(1).Text"), u"ab\r\ncd");
  run(u"Form1.MText(1).SelStart = 4 : Form1.MText(1).SelLength = 2");
  EXPECT_EQ(eval_text(u"Form1.MText(1).SelText"), u"cd");
  run(u"Form1.MText(1).SelStart = 2 : Form1.MText(1).SelLength = 2");
  EXPECT_EQ(eval_text(u"Form1.MText(1).SelText"), u"\r\n");
  run(u"Form1.MText(1).SelText = \"-\"");
  EXPECT_EQ(eval_text(u"Form1.MText(1).Text"), u"ab-cd");
  run(u"Form1.MText(1).Text = \"x\" & vbLf & \"y\"");  // a bare LF is a line break too
  EXPECT_EQ(eval_text(u"Form1.MText(1).Text"), u"x\r\ny");
  run(u"Form1.MText(1).SelStart = 100");  // past the end: at the end
  EXPECT_EQ(eval_text(u"Form1.MText(1).SelStart"), u"4");
  EXPECT_EQ(let_error(u"mtext", 1, u"SelStart", Variant(int16_t{-1})), 380);
  EXPECT_EQ(let_error(u"mtext", 1, u"SelLength", Variant(int16_t{-1})), 380);
  // The three kinds are one class with their own settings.
  add({Variant(u"text"), Variant(int16_t{1})});
  add({Variant(u"textbox"), Variant(int16_t{1})});
  EXPECT_EQ(eval_text(u"TypeName(Form1.Text(1)) & TypeName(Form1.MText(1)) & TypeName(Form1.TextBox(1))"),
            u"TextBoxTextBoxTextBox");
  EXPECT_EQ(eval_text(u"Form1.Text(1).MultiLine & Form1.MText(1).MultiLine & Form1.TextBox(1).MultiLine"),
            u"FalseTrueTrue");
  EXPECT_EQ(eval_text(u"Form1.Text(1).ScrollBars & Form1.MText(1).ScrollBars & Form1.TextBox(1).ScrollBars"), u"003");
}

// MaxLength stops typing (and cuts what is assigned); Locked stops every change the user makes
// while the key procedures still run.
TEST_F(TextAndChoiceControlsTest, MaxLengthAndLockedLimitTyping) {
  for (std::u16string_view kind : {u"text", u"mtext"}) {
    SCOPED_TRACE(std::string(kind.begin(), kind.end()));
    std::u16string prefix = kind == u"text" ? u"Text" : u"MText";
    code(u"Sub " + prefix + u"1_Change()\nlog = log & \"c\"\nEnd Sub\n"
         u"Sub " + prefix + u"1_KeyPress(KeyAscii)\nlog = log & \"k\"\nEnd Sub\n");
    add({Variant(std::u16string(kind)), Variant(int16_t{1}), Variant(u"MaxLength=3")});
    clear_log();
    QWidget* box = widget(kind, 1);
    QTest::keyClicks(box, "abcd");
    EXPECT_EQ(to_u16(element(kind, 1)->get(u"Text")), u"abc");
    EXPECT_EQ(log(), u"kckckck");
    EXPECT_EQ(to_integer(element(kind, 1)->get(u"MaxLength")), 3);
    element(kind, 1)->let(u"Text", Variant(u"12345"));
    EXPECT_EQ(to_u16(element(kind, 1)->get(u"Text")), u"123");
    EXPECT_EQ(let_error(kind, 1, u"MaxLength", Variant(int16_t{-1})), 380);

    element(kind, 1)->let(u"MaxLength", Variant(int16_t{0}));
    element(kind, 1)->let(u"Locked", Variant(true));
    clear_log();
    QTest::keyClicks(box, "z");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(to_u16(element(kind, 1)->get(u"Text")), u"123");
    EXPECT_EQ(log(), u"kk");
    element(kind, 1)->let(u"Locked", Variant(false));
    QTest::keyClicks(box, "z");
    EXPECT_EQ(to_u16(element(kind, 1)->get(u"Text")).size(), 4u);
  }
}

TEST_F(TextAndChoiceControlsTest, PasswordCharHidesTheTextOfASingleLineBox) {
  add({Variant(u"text"), Variant(int16_t{1}), Variant(u"Text=abc"), Variant(u"PasswordChar=#")});
  auto* line = qobject_cast<QLineEdit*>(widget(u"text", 1));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->displayText(), QStringLiteral("###"));
  EXPECT_EQ(eval_text(u"Form1.Text(1).Text & Form1.Text(1).PasswordChar"), u"abc#");
  EXPECT_EQ(let_error(u"text", 1, u"PasswordChar", Variant(u"**")), 380);
  run(u"Form1.Text(1).PasswordChar = \"\"");
  EXPECT_EQ(line->displayText(), QStringLiteral("abc"));
}

TEST_F(TextAndChoiceControlsTest, CheckBoxClickFollowsEveryChangeOfValue) {
  code(u"Sub Check1_Click()\nlog = log & \"click\" & Form1.Check(1).Value & \" \"\nEnd Sub\n");
  add({Variant(u"check"), Variant(int16_t{1}), Variant(u"Move 0, 0, 1500, 300")});
  EXPECT_EQ(eval_text(u"Form1.Check(1).Caption & TypeName(Form1.Check(1)) & Form1.Check(1)"), u"CheckCheckBox0");
  run(u"Form1.Check(1).Value = 1 : Form1.Check(1).Value = 1 : Form1.Check(1).Value = 2");
  EXPECT_EQ(log(), u"click1 click2 ");  // no Click for the value it already has
  // The user's clicks on a greyed box check it, clear it, check it: the user never greys it.
  QWidget* box = widget(u"check", 1);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() / 2));  // right of the caption
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(log(), u"click1 click2 click1 click0 click1 ");
  EXPECT_EQ(let_error(u"check", 1, u"Value", Variant(int16_t{3})), 380);
  run(u"Form1.Check(1) = 0");  // Value is the default member
  EXPECT_EQ(log(), u"click1 click2 click1 click0 click1 click0 ");
}

// The option buttons on the form are one group, those in a frame another: choosing one clears
// only its own group, and only the newly chosen button clicks.
TEST_F(TextAndChoiceControlsTest, OptionButtonsFormOneGroupPerContainer) {
  code(u"Sub cOption_Click(Index)\nlog = log & \"c\" & Index & \" \"\nEnd Sub\n");
  add({Variant(u"frame"), Variant(int16_t{1}), Variant(u"Move 2000, 0, 2000, 2000")});
  for (int16_t i = 1; i <= 4; ++i) {
    std::u16string top = i % 2 ? u"Top=0" : u"Top=600";
    std::vector<Variant> args{Variant(u"coption"), Variant(i), Variant(top)};
    if (i > 2) args.emplace_back(u"~Container=~Form1.Frame(1)");
    add(std::move(args));
  }
  auto chosen = [this] {
    return eval_text(u"CInt(Form1.cOption(1)) & CInt(Form1.cOption(2)) & "
                     u"CInt(Form1.cOption(3)) & CInt(Form1.cOption(4))");
  };
  EXPECT_EQ(eval_text(u"Form1.cOption(3).Container Is Form1.Frame(1)"), u"True");
  EXPECT_EQ(eval_text(u"Form1.cOption(1).Caption & TypeName(Form1.cOption(1))"), u"OptionOptionButton");
  EXPECT_EQ(chosen(), u"0000");
  run(u"Form1.cOption(1).Value = True");
  run(u"Form1.cOption(2).Value = True");
  run(u"Form1.cOption(3).Value = True");
  run(u"Form1.cOption(3).Value = True");  // already chosen: no Click
  EXPECT_EQ(log(), u"c1 c2 c3 ");
  EXPECT_EQ(chosen(), u"0-1-10");
  QTest::mouseClick(widget(u"coption", 4), Qt::LeftButton);
  EXPECT_EQ(log(), u"c1 c2 c3 c4 ");
  EXPECT_EQ(chosen(), u"0-10-1");
  run(u"Form1.cOption(4).Value = False");  // leaves the frame's group without a choice
  EXPECT_EQ(chosen(), u"0-100");
  EXPECT_EQ(log(), u"c1 c2 c3 c4 ");
}

TEST_F(TextAndChoiceControlsTest, FrameHoldsTheControlsPutInIt) {
  add({Variant(u"frame"), Variant(int16_t{1}), Variant(u"Move 300, 300, 3000, 2000")});
  add({Variant(u"text"), Variant(int16_t{1}), Variant(u"~Container=~Form1.Frame(1)"), Variant(u"Move 150, 450")});
  EXPECT_EQ(eval_text(u"Form1.Frame(1) & \"/\" & TypeName(Form1.Frame(1))"), u"Frame1/Frame");
  EXPECT_EQ(widget(u"text", 1)->parentWidget(), widget(u"frame", 1));
  EXPECT_EQ(eval_text(u"Form1.Text(1).Left & \",\" & Form1.Text(1).Top"), u"150,450");  // from the frame's corner
  run(u"Form1.Frame(1).Visible = False");
  EXPECT_FALSE(widget(u"text", 1)->isVisible());
  EXPECT_EQ(eval_text(u"Form1.Text(1).Visible"), u"True");  // its own setting is unchanged
  // The frame's controls go with it.
  form->call(u"Remove", {Variant(u"frame"), Variant(int16_t{1})});
  EXPECT_EQ(error_of([&] { element(u"text", 1)->get(u"Text"); }), 364);
}

// A picture box's controls count from inside its border; without a border from its corner.
TEST_F(TextAndChoiceControlsTest, PictureBoxPlacesItsControlsInsideItsBorder) {
  add({Variant(u"pic"), Variant(int16_t{1}), Variant(u"Move 300, 300, 3000, 2000")});
  add({Variant(u"text"), Variant(int16_t{1}), Variant(u"~Container=~Form1.Pic(1)"), Variant(u"Move 150, 450")});
  EXPECT_EQ(widget(u"text", 1)->parentWidget(), widget(u"pic", 1));
  EXPECT_EQ(widget(u"text", 1)->pos(), QPoint(2 + 10, 2 + 30));  // 15 twips a pixel
  EXPECT_EQ(eval_text(u"Form1.Text(1).Left & \",\" & Form1.Text(1).Top"), u"150,450");
  run(u"Form1.Pic(1).BorderStyle = 0");
  add({Variant(u"text"), Variant(int16_t{2}), Variant(u"~Container=~Form1.Pic(1)"), Variant(u"Move 150, 450")});
  EXPECT_EQ(widget(u"text", 2)->pos(), QPoint(10, 30));
}

TEST_F(TextAndChoiceControlsTest, LabelAutoSizeFitsTheCaption) {
  add({Variant(u"label"), Variant(int16_t{1}), Variant(u"AutoSize=True"),
       Variant(u"Caption=a caption a good deal wider than the label starts")});
  int32_t one_line = to_long(element(u"label", 1)->get(u"Height"));
  EXPECT_GT(to_long(element(u"label", 1)->get(u"Width")), 1215);
  EXPECT_LT(one_line, 495);
  // With WordWrap the width stays and the height grows.
  add({Variant(u"label"), Variant(int16_t{1}), Variant(u"Width=900"), Variant(u"WordWrap=True")});
  EXPECT_EQ(to_long(element(u"label", 1)->get(u"Width")), 900);
  EXPECT_GT(to_long(element(u"label", 1)->get(u"Height")), 2 * one_line);
  run(u"Form1.Label(1) = \"x\"");  // Caption is the default member
  EXPECT_EQ(eval_text(u"Form1.Label(1).Caption & TypeName(Form1.Label(1))"), u"xLabel");
  run(u"Form1.Label(1).Alignment = 2");
  EXPECT_EQ(eval_text(u"Form1.Label(1).Alignment"), u"2");
  EXPECT_EQ(let_error(u"label", 1, u"Alignment", Variant(int16_t{3})), 380);
  EXPECT_EQ(let_error(u"label", 1, u"BorderStyle", Variant(int16_t{2})), 380);
}

}  // namespace
}  // namespace qz
