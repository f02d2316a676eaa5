// Pointer hover tracking (_Over/_Out with Tag marks and the capture), presses under a captured
// frame, dragging the window by its client area, drag and drop between controls, KeyPreview.
#include <QPushButton>

#include "platform/window/event_tables.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

bool table_has(std::u16string_view kind, std::u16string_view event) {
  const EventTable* t = find_event_table(kind);
  return t && find_event(*t, event);
}

class PointerTrackingTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    code(u"Sub Command1_MouseMove(Button, Shift, X, Y)\nlog = log & \"m1 \"\nEnd Sub\n"
         u"Sub Command1_Over(Button, Shift, X, Y)\nlog = log & \"over1 \"\nEnd Sub\n"
         u"Sub Command1_Out(Button, Shift, X, Y)\nlog = log & \"out1 \"\nEnd Sub\n"
         u"Sub Command1_MouseUp(Button, Shift, X, Y)\nlog = log & \"up1 \"\nEnd Sub\n"
         u"Sub Command2_MouseMove(Button, Shift, X, Y)\nlog = log & \"m2 \"\nEnd Sub\n"
         u"Sub Command_Click(Index)\nlog = log & \"click\" & Index & \" \"\nEnd Sub\n");
    form->show2(false);
    settle();
  }
  // The expected text of hover procedures, when the kind's table raises them.
  std::u16string hover(std::u16string_view text) { return table_has(u"Command", u"Over") ? std::u16string(text) : u""; }
  QtControl* control(std::u16string_view kind, int16_t index) { return find_window(element(kind, index)->handle()); }
  std::u16string tag(std::u16string_view kind, int16_t index) { return to_u16(element(kind, index)->get(u"Tag")); }
};

TEST_F(PointerTrackingTest, EnterMovesLeaveAndRelease) {
  // Button at (100, 100) pixels, 100 x 50.
  add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Move 1500, 1500, 1500, 750")});
  QWidget* top = form_widget();
  QTest::mouseMove(top, QPoint(120, 120));
  QTest::mouseMove(top, QPoint(130, 120));
  QTest::mouseMove(top, QPoint(140, 125));
  EXPECT_EQ(log(), u"m1 " + hover(u"over1 ") + u"m1 m1 ");
  EXPECT_EQ(tag(u"command", 1), u"1");
  EXPECT_EQ(QtControl::capture_holder(), control(u"command", 1));

  // The first move outside still reaches the button, which holds the capture; the next does not.
  clear_log();
  QTest::mouseMove(top, QPoint(300, 300));
  QTest::mouseMove(top, QPoint(310, 300));
  EXPECT_EQ(log(), u"m1 " + hover(u"out1 "));
  EXPECT_EQ(tag(u"command", 1), u"0");
  EXPECT_EQ(QtControl::capture_holder(), nullptr);

  // A release clears the mark without _Out; the next move inside is an _Over again.
  clear_log();
  QTest::mouseMove(top, QPoint(120, 120));
  QTest::mouseClick(widget(u"command", 1), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(tag(u"command", 1), u"0");
  EXPECT_EQ(QtControl::capture_holder(), nullptr);
  QTest::mouseMove(top, QPoint(125, 120));
  EXPECT_EQ(log(), u"m1 " + hover(u"over1 ") + u"up1 click1 m1 " + hover(u"over1 "));
}

TEST_F(PointerTrackingTest, TagMarksAndTheSwitch) {
  add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Move 1500, 1500, 1500, 750"), Variant(u"Tag=5")});
  QWidget* top = form_widget();
  QTest::mouseMove(top, QPoint(120, 120));  // "5" reads as marked: no _Over, no capture
  EXPECT_EQ(log(), u"m1 ");
  EXPECT_EQ(QtControl::capture_holder(), nullptr);
  element(u"command", 1)->let(u"Tag", Variant(u"abc"));  // no number: unmarked
  QTest::mouseMove(top, QPoint(121, 120));
  EXPECT_EQ(tag(u"command", 1), u"1");
  QTest::mouseMove(top, QPoint(400, 120));
  EXPECT_EQ(tag(u"command", 1), u"0");

  // Switched off: MouseMove still runs, the Tag and the capture stay untouched.
  clear_log();
  form->let(u"NoOverOutCommand", Variant(true));
  QTest::mouseMove(top, QPoint(120, 120));
  QTest::mouseMove(top, QPoint(400, 120));
  EXPECT_EQ(log(), u"m1 ");
  EXPECT_EQ(tag(u"command", 1), u"0");
  EXPECT_EQ(QtControl::capture_holder(), nullptr);
}

TEST_F(PointerTrackingTest, AButtonInsideACapturedFrameStaysClickable) {
  add({Variant(u"frame"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3000, 3000")});
  add({Variant(u"command"), Variant(int16_t{2})});
  element(u"command", 2)->let(u"Container", Variant(static_cast<Object*>(element(u"frame", 1))));
  element(u"command", 2)->call(u"Move", {Variant(600), Variant(600), Variant(1500), Variant(750)});
  QWidget* top = form_widget();
  QTest::mouseMove(top, QPoint(5, 5));
  EXPECT_EQ(tag(u"frame", 1), u"1");
  EXPECT_EQ(QtControl::capture_holder(), control(u"frame", 1));
  // Moves over the button go to the frame that holds the capture...
  QTest::mouseMove(top, QPoint(60, 50));
  EXPECT_EQ(log(), u"");
  EXPECT_EQ(QtControl::capture_holder(), control(u"frame", 1));
  // ...but a press hits the button under the pointer.
  QTest::mouseClick(widget(u"command", 2), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(log(), u"click2 ");
  // Leaving the frame's rectangle releases the capture.
  QTest::mouseMove(top, QPoint(250, 250));
  EXPECT_EQ(tag(u"frame", 1), u"0");
  EXPECT_EQ(QtControl::capture_holder(), nullptr);
}

TEST_F(PointerTrackingTest, TheHoverTestConvertsEachAxisFromTheElementsScale) {
  // Whatever the element's units, the test is its own rectangle in pixels.
  add({Variant(u"pic"), Variant(int16_t{1}), Variant(u"Move 1500, 1500, 1500, 750")});
  QtControl* pic = control(u"pic", 1);
  QPointF units = pic->to_event_units(QPointF(100, 50));
  QPointF back = pic->from_event_units(units);
  EXPECT_NEAR(back.x(), 100, 1e-3);
  EXPECT_NEAR(back.y(), 50, 1e-3);
  QWidget* top = form_widget();
  QTest::mouseMove(top, QPoint(199, 149));  // the far corner is inside
  EXPECT_EQ(tag(u"pic", 1), u"1");
  QTest::mouseMove(top, QPoint(150, 151));  // one pixel below: outside
  EXPECT_EQ(tag(u"pic", 1), u"0");
}

TEST_F(PointerTrackingTest, ALeftPressDragsTheWindowUnlessSwitchedOff) {
  QWidget* top = form_widget();
  struct Case { bool no_move; Qt::MouseButton button; bool moves; };
  for (Case c : {Case{false, Qt::LeftButton, true}, Case{true, Qt::LeftButton, false},
                 Case{false, Qt::RightButton, false}}) {
    SCOPED_TRACE(c.no_move);
    form->let(u"NoMoveMouse", Variant(c.no_move));
    top->move(50, 50);
    settle();
    QPoint before = top->pos();
    QTest::mousePress(top, c.button, {}, QPoint(10, 10));
    QTest::mouseMove(top, QPoint(30, 40));
    QTest::mouseRelease(top, c.button, {}, QPoint(30, 40));
    EXPECT_EQ(top->pos() - before, c.moves ? QPoint(20, 30) : QPoint(0, 0));
  }
}

TEST_F(PointerTrackingTest, DraggingOneControlOntoAnother) {
  if (!table_has(u"Command", u"DragDrop")) GTEST_SKIP() << "the command button's table has no DragDrop yet";
  code(u"Sub Command2_DragDrop(Source, X, Y)\nlog = log & \"drop:\" & Source.Index & \" \"\nEnd Sub\n"
       u"Sub Command2_DragOver(Source, X, Y, State)\nlog = log & \"over:\" & State & \" \"\nEnd Sub\n");
  add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Move 0, 0, 1500, 750"), Variant(u"DragMode=1")});
  add({Variant(u"command"), Variant(int16_t{2}), Variant(u"Move 3000, 0, 1500, 750")});
  QTest::mousePress(widget(u"command", 1), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(widget(u"command", 2), QPoint(10, 10));
  QTest::mouseMove(widget(u"command", 2), QPoint(12, 10));
  QTest::mouseRelease(widget(u"command", 2), Qt::LeftButton, {}, QPoint(12, 10));
  EXPECT_EQ(log(), u"over:0 over:2 drop:1 ");  // and no click of the dragged button
}

TEST_F(PointerTrackingTest, KeyPreviewRunsTheFormsKeyProceduresFirst) {
  code(u"Sub Form_KeyPress(KeyAscii)\nlog = log & \"form\" & KeyAscii & \" \"\nIf KeyAscii = 120 Then KeyAscii = 0\nEnd Sub\n"
       u"Sub Command1_KeyPress(KeyAscii)\nlog = log & \"button\" & KeyAscii & \" \"\nEnd Sub\n");
  add({Variant(u"command"), Variant(int16_t{1})});
  QWidget* button = widget(u"command", 1);
  QTest::keyClick(button, Qt::Key_A);
  EXPECT_EQ(log(), u"button97 ");
  clear_log();
  form->let(u"KeyPreview", Variant(true));
  QTest::keyClick(button, Qt::Key_A);
  QTest::keyClick(button, Qt::Key_X);  // the form swallows x
  EXPECT_EQ(log(), u"form97 button97 form120 ");
}

}  // namespace
}  // namespace qz
