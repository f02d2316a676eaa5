#include <gtest/gtest.h>

#include <QAbstractScrollArea>

#include "com/convert.h"
#include "forms/event_forwarding.h"
#include "tests/forms/gui_fixture.h"
#include "forms/script_form.h"
#include "script/script_control.h"

namespace qz {
namespace {

class ControlFactoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install_offscreen_window_system();
    control = make_ref<ScriptControl>();
    control->add_code(u"Dim log, answer, ran\r\nFunction Twice(x)\r\nTwice = x * 2\r\nEnd Function\r\n"
                      u"Function Add2(a, b)\r\nAdd2 = a + b\r\nEnd Function\r\n"
                      u"Function Boom()\r\nran = True\r\nBoom = 1\r\nEnd Function\r\n");
    set_forms_script_control([this] { return control.get(); });
    form = create_script_form(2, u"Form1");
    control->add_object(u"Form1", form);
    ScriptModule* m = control->add_module(u"2_mdl_form_");
    m->add_code(
        u"Sub Command1_Click()\r\nlog = log & \"c1 \"\r\nEnd Sub\r\n"
        u"Sub Command_Click(Index)\r\nlog = log & \"all\" & Index & \" \"\r\nEnd Sub\r\n"
        u"Sub Combo2_Change()\r\nlog = log & \"change \"\r\nEnd Sub\r\n"
        u"Sub Command1_KeyPress(KeyAscii)\r\nIf KeyAscii = 120 Then KeyAscii = 0\r\nEnd Sub\r\n"
        u"Sub Text1_KeyPress(KeyAscii)\r\nIf KeyAscii = 120 Then KeyAscii = 0\r\nIf KeyAscii = 97 Then KeyAscii = 65\r\nEnd Sub\r\n"
        u"Sub Text1_Change()\r\nlog = log & Form1.Text(1).Text & \" \"\r\nEnd Sub\r\n"
        u"Sub HScroll1_Change()\r\nlog = log & \"scroll\" & Form1.HScroll(1).Value & \" \"\r\nEnd Sub\r\n"
        u"Sub Label1_Click()\r\nlog = log & \"label \"\r\nEnd Sub\r\n"
        u"Function Form_Unload()\r\nForm_Unload = answer\r\nEnd Function\r\n");
  }
  void TearDown() override {
    unload_all_script_forms();
    set_forms_script_control(nullptr);
  }
  void add(std::vector<Variant> args) { form->call(u"Add", std::move(args)); }
  ToolkitWindow* element(std::u16string_view kind, int16_t index) {
    return form->array(*find_control_kind(kind)).element(index);
  }
  std::u16string text(std::u16string_view kind, int16_t index, std::u16string_view member) {
    return to_u16(element(kind, index)->get(member));
  }
  std::u16string log() { return to_u16(control->eval(u"log")); }

  Ref<ScriptControl> control;
  Ref<ScriptForm> form;
};

TEST_F(ControlFactoryTest, PropertyLines) {
  struct Case { std::u16string_view line; std::u16string_view member; std::u16string_view expect; };
  const Case cases[] = {
      {u"Caption=Hello world ", u"Caption", u"Hello world "},  // trailing blanks kept
      {u"Caption = spaced", u"Caption", u"spaced"},            // one blank each side of "="
      {u"~Caption=Twice(21)", u"Caption", u"42"},              // evaluated in the global scope
      {u"Tag=~x", u"Tag", u"~x"},                              // "~" kept without the mark
      {u"~Tag=~Twice(1)", u"Tag", u"before"},                  // not an object: unchanged
      {u"Tag  = x", u"Tag", u"before"},                        // two blanks: a method call
      {u"Captio", u"Caption", u"before"},                      // a name alone: method "Capti"
      {u"NoSuchMember=1", u"Caption", u"before"},
      {u"Left=150", u"Left", u"150"},
      {u"Left=abc", u"Left", u"0"},                            // refused value: unchanged
      {u"Move 30, 45", u"Top", u"45"},
      {u"Move &H10,  30x", u"Top", u"30"},                     // numbers only, leading number read
      {u"~Move Twice(15), Twice(30)", u"Top", u"60"},
      {u"Move 1,2,3,4,5,6,7,8,9,10,11", u"Left", u"0"},        // eleven pieces: nothing called
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
    form->remove(u"command", 1);
    add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Caption=before"), Variant(u"Tag=before"),
         Variant(std::u16string(c.line))});
    EXPECT_EQ(text(u"command", 1, c.member), c.expect);
  }
}

// A method line's arguments split only at commas outside quotes and parentheses: quoted text is
// never run as code, and an argument that does not evaluate stays text without an error report.
TEST_F(ControlFactoryTest, PropertyLineArgumentsKeepQuotedTextAndStayQuiet) {
  int reported = 0;
  control->on_error = [&](const ScriptErrorInfo&) { ++reported; };
  struct Case { std::u16string_view line; std::u16string_view left, top, tag; };
  const Case cases[] = {
      {u"~Move Add2(100, 200), Len(\"a,b\") * 15", u"300", u"45", u"before"},
      {u"~Move Len(\"x,Boom(),y\") * 15, 15", u"150", u"15", u"before"},
      {u"~Move Len(\"say \"\"hi, there\"\"\") * 15, 30", u"225", u"30", u"before"},
      {u"~Tag=\"Boom(), x\"", u"0", u"0", u"Boom(), x"},   // a literal is taken as it stands
      {u"~Tag=Boom(", u"0", u"0", u"Boom("},                // cannot evaluate: the text stays
      {u"~Tag=1/0", u"0", u"0", u"1/0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
    form->remove(u"command", 1);
    add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Tag=before"), Variant(std::u16string(c.line))});
    EXPECT_EQ(text(u"command", 1, u"Left"), c.left);
    EXPECT_EQ(text(u"command", 1, u"Top"), c.top);
    EXPECT_EQ(text(u"command", 1, u"Tag"), c.tag);
  }
  EXPECT_TRUE(control->eval(u"ran").is_empty());
  EXPECT_EQ(reported, 0);
}

TEST_F(ControlFactoryTest, KindsIndexesAndVisibility) {
  add({Variant(u"LaBeL"), Variant(int16_t{3})});
  ASSERT_NE(element(u"label", 3), nullptr);
  EXPECT_EQ(text(u"label", 3, u"Caption"), u"label");  // element 0's design-time caption
  EXPECT_TRUE(to_bool(element(u"label", 3)->get(u"Visible")));
  EXPECT_FALSE(to_bool(element(u"label", 0)->get(u"Visible")));

  add({Variant(u"nosuchkind"), Variant(int16_t{1}), Variant(u"Caption=x")});  // nothing happens
  add({Variant(u"ctimer"), Variant(int16_t{1})});
  EXPECT_EQ(element(u"ctimer", 1)->find_member(u"Visible"), kDispUnknown);  // never shown
  EXPECT_FALSE(to_bool(element(u"ctimer", 1)->get(u"Enabled")));

  // A second Add for a loaded index changes only what its lines name.
  add({Variant(u"label"), Variant(int16_t{3}), Variant(u"Tag=t")});
  add({Variant(u"label"), Variant(int16_t{3}), Variant(u"Caption=c")});
  EXPECT_EQ(text(u"label", 3, u"Tag"), u"t");
  // Index 0 is made visible and configured.
  add({Variant(u"label"), Variant(int16_t{0}), Variant(u"Caption=zero")});
  EXPECT_TRUE(to_bool(element(u"label", 0)->get(u"Visible")));
  // Remove of 0 leaves element 0; Remove then Add gives a fresh element from element 0.
  form->call(u"Remove", {Variant(u"LABEL"), Variant(int16_t{0})});
  ASSERT_NE(element(u"label", 0), nullptr);
  form->call(u"Remove", {Variant(u"label"), Variant(int16_t{3})});
  EXPECT_EQ(element(u"label", 3), nullptr);
  add({Variant(u"label"), Variant(int16_t{3})});
  EXPECT_EQ(text(u"label", 3, u"Caption"), u"zero");
  EXPECT_EQ(text(u"label", 3, u"Tag"), u"");
  // A negative index loads nothing.
  add({Variant(u"label"), Variant(int16_t{-1}), Variant(u"Caption=x")});
  EXPECT_EQ(element(u"label", -1), nullptr);
  // An index outside 16 bits reaches the caller.
  EXPECT_THROW(add({Variant(u"label"), Variant(int32_t{40000})}), ScriptError);
}

TEST_F(ControlFactoryTest, EventsRunTheFormsProcedures) {
  form->show2(false);
  add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Value=True")});  // pressing it clicks
  EXPECT_EQ(log(), u"c1 all1 ");
  add({Variant(u"command"), Variant(int16_t{2})});
  QTest::mouseClick(widget_of(element(u"command", 2)), Qt::LeftButton);
  EXPECT_EQ(log(), u"c1 all1 all2 ");  // no Command2_Click: only the array-wide call
  add({Variant(u"combo"), Variant(int16_t{2}), Variant(u"Text=abc")});
  EXPECT_EQ(log(), u"c1 all1 all2 change ");
}

TEST_F(ControlFactoryTest, TypingIntoATextBox) {
  form->show2(false);
  add({Variant(u"text"), Variant(int16_t{1})});
  QWidget* box = widget_of(element(u"text", 1));
  ASSERT_NE(box, nullptr);
  // Each character the KeyPress procedure keeps changes the text; 0 drops it, A replaces a.
  QTest::keyClicks(box, "bxa");
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(text(u"text", 1, u"Text"), u"b");
  EXPECT_EQ(log(), u"b bA b ");
  // A disabled control takes no input.
  element(u"text", 1)->let(u"Enabled", Variant(false));
  QTest::keyClicks(box, "q");
  EXPECT_EQ(text(u"text", 1, u"Text"), u"b");
}

TEST_F(ControlFactoryTest, ChangesAndClicksFollowEachKindsTable) {
  form->show2(false);
  add({Variant(u"hscroll"), Variant(int16_t{1}), Variant(u"Value=5"), Variant(u"Value=5")});
  EXPECT_EQ(log(), u"scroll5 ");  // no second Change for the same value
  add({Variant(u"label"), Variant(int16_t{1})});
  QTest::mouseClick(widget_of(element(u"label", 1)), Qt::LeftButton);
  EXPECT_EQ(log(), u"scroll5 label ");
  // Windowless graphics forward nothing, and nothing fails.
  add({Variant(u"cshape"), Variant(int16_t{1})});
  QTest::mouseClick(widget_of(element(u"cshape", 1)), Qt::LeftButton);
  EXPECT_EQ(log(), u"scroll5 label ");
}

// Element 5 of each kind and the form log every event they could raise; what a user does to one
// control runs only the procedures of that kind's table, in the order they happen, and nothing
// reaches the form underneath.
TEST_F(ControlFactoryTest, UserInputRaisesOnlyTheKindsTableInOrder) {
  struct Procedure { std::u16string_view event, params; };
  const Procedure procedures[] = {
      {u"Click", u""}, {u"DblClick", u""}, {u"Change", u""}, {u"GotFocus", u""}, {u"LostFocus", u""},
      {u"MouseDown", u"B, S, X, Y"}, {u"MouseUp", u"B, S, X, Y"}, {u"MouseMove", u"B, S, X, Y"},
      {u"KeyDown", u"K, S"}, {u"KeyUp", u"K, S"}, {u"KeyPress", u"K"}};
  std::u16string code;
  for (std::u16string_view name : {u"Label5", u"Text5", u"MText5", u"TextBox5", u"Check5", u"cOption5", u"Frame5",
                                   u"List5", u"Combo5", u"LCombo5", u"HScroll5", u"VScroll5", u"Form"}) {
    for (const Procedure& p : procedures) {
      bool on_form = name == u"Form";
      if (on_form && p.event.ends_with(u"Focus")) continue;  // the form's own focus follows the controls'
      code += u"Sub " + std::u16string(name) + u"_" + std::u16string(p.event) + u"(" + std::u16string(p.params) +
              u")\r\nlog = log & \"" + (on_form ? u"Form" : u"") + std::u16string(p.event) + u" \"\r\nEnd Sub\r\n";
    }
  }
  control->module(u"2_mdl_form_")->add_code(code);
  form->show2(false);

  enum class Input { Click, DoubleClick, TypeK, Space, Enter };
  struct Case { std::u16string_view kind; Input input; std::u16string_view expect; };
  const Case cases[] = {
      {u"label", Input::Click, u"MouseDown MouseUp Click "},
      {u"label", Input::DoubleClick, u"DblClick "},  // QTest sends the double click alone
      {u"text", Input::TypeK, u"KeyDown KeyPress Change KeyUp "},
      {u"text", Input::Click, u"MouseDown MouseUp Click "},
      {u"mtext", Input::Enter, u"KeyDown KeyPress Change KeyUp "},
      {u"mtext", Input::Click, u"MouseDown MouseUp Click "},  // on the viewport, where the mouse acts
      {u"textbox", Input::TypeK, u"KeyDown KeyPress Change KeyUp "},
      {u"textbox", Input::DoubleClick, u"DblClick "},
      {u"check", Input::Click, u"MouseDown MouseUp Click "},
      {u"check", Input::Space, u"KeyPress Click "},
      {u"coption", Input::Click, u"MouseDown MouseUp Click "},
      {u"coption", Input::Click, u"MouseDown MouseUp "},  // already chosen: no Click
      {u"frame", Input::Click, u"MouseDown MouseUp Click "},
      {u"frame", Input::TypeK, u""},
      {u"list", Input::TypeK, u"KeyDown KeyUp "},        // no KeyPress for lists
      {u"list", Input::Click, u""},                      // nor mouse events; an empty list picks nothing
      {u"combo", Input::TypeK, u"KeyDown Change KeyUp "},
      {u"lcombo", Input::TypeK, u"KeyDown KeyUp "},       // nothing to pick, nothing typed
      {u"hscroll", Input::Click, u"Change "},           // beside the thumb: a page on
      {u"vscroll", Input::TypeK, u"KeyDown KeyUp "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind.begin(), c.kind.end()) + " input " + std::to_string(static_cast<int>(c.input)));
    add({Variant(std::u16string(c.kind)), Variant(int16_t{5})});
    QWidget* w = widget_of(element(c.kind, 5));
    ASSERT_NE(w, nullptr);
    // The mouse acts on a multi-line box's viewport, keys on the box.
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    QWidget* under_mouse = area ? area->viewport() : w;
    control->execute_statement(u"log = \"\"");
    switch (c.input) {
      case Input::Click: QTest::mouseClick(under_mouse, Qt::LeftButton); break;
      case Input::DoubleClick: QTest::mouseDClick(under_mouse, Qt::LeftButton); break;
      case Input::TypeK: QTest::keyClick(w, Qt::Key_K); break;
      case Input::Space: QTest::keyClick(w, Qt::Key_Space); break;
      case Input::Enter: QTest::keyClick(w, Qt::Key_Return); break;
    }
    EXPECT_EQ(log(), c.expect);
  }
  EXPECT_EQ(text(u"text", 5, u"Text"), u"k");
  EXPECT_EQ(text(u"mtext", 5, u"Text"), u"\r\n");
  EXPECT_EQ(text(u"check", 5, u"Value"), u"0");  // clicked on, then off with Space
  EXPECT_TRUE(to_bool(element(u"coption", 5)->get(u"Value")));
}

TEST_F(ControlFactoryTest, UnloadAnswers) {
  add({Variant(u"command"), Variant(int16_t{1})});
  form->show(false);
  QWidget* window = widget_of(&form->window());
  control->execute_statement(u"answer = 1");  // refuse
  window->close();
  EXPECT_TRUE(window->isVisible());
  control->execute_statement(u"answer = 2");  // hide, stay loaded
  window->close();
  EXPECT_TRUE(form->window_loaded());
  EXPECT_FALSE(window->isVisible());
  control->execute_statement(u"answer = 0");
  EXPECT_TRUE(form->unload_request());
  EXPECT_FALSE(form->window_loaded());
  EXPECT_TRUE(open_script_forms().empty());
  // The next use loads the form again, without the controls the script had added.
  EXPECT_EQ(element(u"command", 1), nullptr);
}

}  // namespace
}  // namespace qz
