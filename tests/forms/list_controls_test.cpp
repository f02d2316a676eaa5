// List boxes, combo boxes and scroll bars under the user's mouse and keyboard: which of the
// script's procedures run, in which order, and what the control says inside them.
#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <functional>

#include "tests/forms/form_script_fixture.h"
#include "tests/support/error_of.h"

namespace qz {
namespace {

// obj.name(index) = value
void let_at(Object* obj, std::u16string_view name, int16_t index, const Variant& value) {
  std::vector<Variant> args{Variant(index), value};
  obj->invoke(obj->find_member(name), kLet, Args(args));
}

class ListControlsTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
  }
  QListWidget* list_widget(int16_t index) { return qobject_cast<QListWidget*>(widget(u"list", index)); }
  void click_row(QListWidget* w, int row, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(w->viewport(), Qt::LeftButton, mods, w->visualItemRect(w->item(row)).center());
  }
  // A list element 1 with the items a, b, c.
  void add_list(std::vector<Variant> lines = {}) {
    std::vector<Variant> args{Variant(u"list"), Variant(int16_t{1}), Variant(u"Move 0, 0, 2000, 2000"),
                              Variant(u"~AddItem \"a\""), Variant(u"~AddItem \"b\""), Variant(u"~AddItem \"c\"")};
    args.insert(args.end(), lines.begin(), lines.end());
    add(std::move(args));
    settle();
  }
};

TEST_F(ListControlsTest, ListBoxClicksKeysAndDoubleClicks) {
  code(u"Sub List1_Click()\nlog = log & \"click\" & Form1.List(1).ListIndex & \" \"\nEnd Sub\n"
       u"Sub List_Click(Index)\nlog = log & \"all\" & Index & \" \"\nEnd Sub\n"
       u"Sub List1_DblClick()\nlog = log & \"dbl\" & Form1.List(1).Text & \" \"\nEnd Sub\n"
       u"Sub List1_KeyDown(KeyCode, Shift)\nlog = log & \"key\" & KeyCode & \" \"\nEnd Sub\n"
       u"Sub List1_KeyPress(KeyAscii)\nlog = log & \"press \"\nEnd Sub\n"
       u"Sub List1_MouseDown(Button, Shift, X, Y)\nlog = log & \"mouse \"\nEnd Sub\n"
       u"Sub List1_Scroll()\nlog = log & \"scroll \"\nEnd Sub\n");
  add_list();
  EXPECT_EQ(log(), u"");  // adding items chooses nothing
  QListWidget* w = list_widget(1);
  ASSERT_NE(w, nullptr);

  click_row(w, 1);
  click_row(w, 1);  // the same item again: no new choice
  EXPECT_EQ(log(), u"click1 all1 ");

  clear_log();
  QTest::keyClick(w, Qt::Key_Down);
  EXPECT_EQ(log(), u"key40 click2 all1 ");  // KeyPress and mouse events are not forwarded

  clear_log();
  click_row(w, 0);  // a double click is a click first
  QTest::mouseDClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(w->item(0)).center());
  EXPECT_EQ(log(), u"click0 all1 dbla ");

  // A press below the last item leaves the choice alone.
  clear_log();
  QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, QPoint(5, w->viewport()->height() - 3));
  EXPECT_EQ(log(), u"");
  EXPECT_EQ(to_long(element(u"list", 1)->get(u"ListIndex")), 0);

  // The script's choice clicks too, once per change; -1 chooses nothing.
  clear_log();
  element(u"list", 1)->let(u"ListIndex", Variant(int16_t{2}));
  element(u"list", 1)->let(u"ListIndex", Variant(int16_t{2}));
  element(u"list", 1)->let(u"Text", Variant(u"B"));
  element(u"list", 1)->let(u"ListIndex", Variant(int16_t{-1}));
  EXPECT_EQ(log(), u"click2 all1 click1 all1 click-1 all1 ");
  EXPECT_EQ(to_u16(element(u"list", 1)->get(u"Text")), u"");

  // TopIndex scrolls the list (Scroll), item by item.
  clear_log();
  for (int i = 0; i < 40; ++i) element(u"list", 1)->call(u"AddItem", {Variant(u"more")});
  element(u"list", 1)->let(u"TopIndex", Variant(int16_t{10}));
  EXPECT_EQ(to_long(element(u"list", 1)->get(u"TopIndex")), 10);
  EXPECT_EQ(log(), u"scroll ");
}

TEST_F(ListControlsTest, MultiSelectAndCheckBoxStyle) {
  code(u"Sub List1_Click()\nlog = log & \"click \"\nEnd Sub\n"
       u"Sub List1_ItemCheck(Item)\nlog = log & \"check\" & Item & \"=\" & Form1.List(1).Selected(Item) & \" \"\n"
       u"Item = 99\nEnd Sub\n");
  add_list({Variant(u"MultiSelect=1")});
  QListWidget* w = list_widget(1);
  ToolkitWindow* list = element(u"list", 1);
  click_row(w, 0);
  click_row(w, 2);
  click_row(w, 0);  // a click takes a chosen item out again
  EXPECT_EQ(log(), u"click click click ");
  EXPECT_EQ(to_long(list->get(u"SelCount")), 1);
  EXPECT_FALSE(to_bool(list->get(u"Selected", {Variant(int16_t{0})})));
  EXPECT_TRUE(to_bool(list->get(u"Selected", {Variant(int16_t{2})})));
  EXPECT_EQ(to_long(list->get(u"ListIndex")), 0);  // the focused item

  // Extended: a plain click chooses one item, Shift extends to a range.
  list->let(u"MultiSelect", Variant(int16_t{2}));
  click_row(w, 0);
  click_row(w, 2, Qt::ShiftModifier);
  EXPECT_EQ(to_long(list->get(u"SelCount")), 3);

  // Check-box style: a check is the item's Selected, and each change raises ItemCheck with the
  // item's position, whether the user or the script makes it.
  clear_log();
  list->let(u"MultiSelect", Variant(int16_t{0}));
  list->let(u"Style", Variant(int16_t{1}));
  EXPECT_EQ(to_long(list->get(u"SelCount")), 0);
  let_at(list, u"Selected", 2, Variant(true));
  click_row(w, 1);
  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_EQ(log(), u"check2=True click check1=True ");
  EXPECT_EQ(to_long(list->get(u"SelCount")), 2);
  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_EQ(log(), u"check2=True click check1=True check1=False ");
}

TEST_F(ListControlsTest, IndexArgumentsAreChecked) {
  add_list({Variant(u"MultiSelect=1")});
  ToolkitWindow* list = element(u"list", 1);
  struct Case { std::function<void()> call; int32_t error; };
  const Case cases[] = {
      {[&] { list->get(u"List", {Variant(int16_t{3})}); }, 381},
      {[&] { list->get(u"List", {Variant(int16_t{-1})}); }, 381},
      {[&] { let_at(list, u"List", 3, Variant(u"x")); }, 381},
      {[&] { list->get(u"ItemData", {Variant(int16_t{5})}); }, 381},
      {[&] { list->get(u"Selected", {Variant(int16_t{-2})}); }, 381},
      {[&] { list->call(u"RemoveItem", {Variant(int16_t{3})}); }, 5},
      {[&] { list->call(u"AddItem", {Variant(u"x"), Variant(int16_t{4})}); }, 5},
      {[&] { list->let(u"ListIndex", Variant(int16_t{3})); }, 380},
      {[&] { list->let(u"ListIndex", Variant(int16_t{-2})); }, 380},
      {[&] { list->let(u"TopIndex", Variant(int16_t{7})); }, 380},
      {[&] { list->let(u"MultiSelect", Variant(int16_t{3})); }, 380},
      {[&] { list->let(u"Style", Variant(int16_t{2})); }, 380},
      {[&] { list->get(u"List", {Variant(int16_t{2})}); }, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(error_of(cases[i].call), cases[i].error);
  }
  EXPECT_EQ(to_long(list->get(u"ListCount")), 3);  // no failed call changed the items
}

TEST_F(ListControlsTest, ComboBoxTypingPickingAndDropDown) {
  code(u"Sub Combo1_Change()\nlog = log & \"change[\" & Form1.Combo(1).Text & \"] \"\nEnd Sub\n"
       u"Sub Combo1_Click()\nlog = log & \"click\" & Form1.Combo(1).ListIndex & \" \"\nEnd Sub\n"
       u"Sub Combo1_DropDown()\nlog = log & \"drop \"\nEnd Sub\n"
       u"Sub Combo1_KeyDown(KeyCode, Shift)\nlog = log & \"key\" & KeyCode & \" \"\nEnd Sub\n"
       u"Sub Combo1_DblClick()\nlog = log & \"dbl \"\nEnd Sub\n");
  add({Variant(u"combo"), Variant(int16_t{1}), Variant(u"~AddItem \"apple\""), Variant(u"~AddItem \"pear\"")});
  ToolkitWindow* combo = element(u"combo", 1);
  auto* box = qobject_cast<QComboBox*>(widget(u"combo", 1));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(to_u16(combo->get(u"Text")), u"Combo");  // element 0's design text
  EXPECT_EQ(to_long(combo->get(u"ListIndex")), -1);

  combo->let(u"Text", Variant(u""));
  QTest::keyClicks(box, "pe");
  EXPECT_EQ(log(), u"change[] key80 change[p] key69 change[pe] ");
  EXPECT_EQ(to_long(combo->get(u"ListIndex")), -1);  // typed text is no item

  // Picking with the keyboard clicks and shows the item, with no Change.
  clear_log();
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(log(), u"key40 click0 ");
  EXPECT_EQ(to_u16(combo->get(u"Text")), u"apple");

  // Opening the list raises DropDown; picking in it clicks.
  clear_log();
  box->showPopup();
  QAbstractItemView* view = box->view();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 0)).center());
  EXPECT_EQ(log(), u"drop click1 ");
  EXPECT_EQ(to_u16(combo->get(u"Text")), u"pear");

  // Locked: typing and opening do nothing, the keys still reach KeyDown.
  clear_log();
  combo->let(u"Locked", Variant(true));
  QTest::keyClicks(box, "x");
  QTest::keyClick(box, Qt::Key_Up);
  box->showPopup();
  EXPECT_EQ(log(), u"key88 key38 ");
  EXPECT_EQ(to_u16(combo->get(u"Text")), u"pear");
}

TEST_F(ListControlsTest, ListComboPicksOnlyItems) {
  code(u"Sub LCombo1_Click()\nlog = log & \"click\" & Form1.LCombo(1).Text & \" \"\nEnd Sub\n"
       u"Sub LCombo1_Change()\nlog = log & \"change \"\nEnd Sub\n");
  add({Variant(u"lcombo"), Variant(int16_t{1}), Variant(u"~AddItem \"one\""), Variant(u"~AddItem \"two\"")});
  ToolkitWindow* combo = element(u"lcombo", 1);
  auto* box = qobject_cast<QComboBox*>(widget(u"lcombo", 1));
  EXPECT_EQ(to_long(combo->get(u"Style")), 2);
  EXPECT_EQ(to_u16(combo->get(u"Text")), u"");
  EXPECT_FALSE(box->isEditable());

  combo->let(u"Text", Variant(u"TWO"));  // an item's text, in any case, picks it
  EXPECT_EQ(error_of([&] { combo->let(u"Text", Variant(u"three")); }), 383);
  QTest::keyClick(box, Qt::Key_Up);
  EXPECT_EQ(log(), u"clicktwo clickone ");
  EXPECT_EQ(to_long(combo->get(u"ListIndex")), 0);

  // The same control class answers for both arrays, and Style changes the kind of combo.
  EXPECT_EQ(error_of([&] { combo->let(u"Style", Variant(int16_t{3})); }), 380);
  combo->let(u"Style", Variant(int16_t{0}));
  EXPECT_TRUE(box->isEditable());
  combo->let(u"Text", Variant(u"free text"));
  EXPECT_EQ(log(), u"clicktwo clickone change ");
}

// Where the parts of a scroll bar are, as its style draws them.
QRect scroll_part(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.subControls = QStyle::SC_All;
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  if (bar->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

TEST_F(ListControlsTest, ScrollBarArrowsPagesKeysAndDragging) {
  code(u"Sub HScroll1_Change()\nlog = log & \"change\" & Form1.HScroll(1).Value & \" \"\nEnd Sub\n"
       u"Sub HScroll1_Scroll()\nlog = log & \"scroll\" & Form1.HScroll(1).Value & \" \"\nEnd Sub\n"
       u"Sub HScroll1_KeyDown(KeyCode, Shift)\nIf KeyCode = 39 Then KeyCode = 0\nEnd Sub\n");
  add({Variant(u"hscroll"), Variant(int16_t{1}), Variant(u"Move 0, 0, 3000, 255"), Variant(u"Max=10"),
       Variant(u"LargeChange=3")});
  settle();
  ToolkitWindow* sb = element(u"hscroll", 1);
  auto* bar = qobject_cast<QScrollBar*>(widget(u"hscroll", 1));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(to_u16(sb->get(u"Value")), u"0");

  QTest::mouseClick(bar, Qt::LeftButton, {}, scroll_part(bar, QStyle::SC_ScrollBarAddLine).center());
  QTest::mouseClick(bar, Qt::LeftButton, {}, scroll_part(bar, QStyle::SC_ScrollBarAddPage).center());
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_Left);
  QTest::keyClick(bar, Qt::Key_Right);  // its KeyDown procedure takes the key away
  EXPECT_EQ(log(), u"change1 change4 change3 ");

  // Dragging the thumb: Scroll with the thumb's value while it moves, one Change at the end.
  clear_log();
  QPoint from = scroll_part(bar, QStyle::SC_ScrollBarSlider).center();
  QRect groove = scroll_part(bar, QStyle::SC_ScrollBarGroove);
  QTest::mousePress(bar, Qt::LeftButton, {}, from);
  QTest::mouseMove(bar, QPoint(groove.right() + 20, from.y()));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(groove.right() + 20, from.y()));
  EXPECT_EQ(log(), u"scroll10 change10 ");

  // The script's Value raises Change once per new value; the range is checked and kept.
  clear_log();
  sb->let(u"Value", Variant(int16_t{7}));
  sb->let(u"Value", Variant(int16_t{7}));
  EXPECT_EQ(error_of([&] { sb->let(u"Value", Variant(int16_t{11})); }), 380);
  EXPECT_EQ(error_of([&] { sb->let(u"SmallChange", Variant(int16_t{0})); }), 380);
  EXPECT_EQ(error_of([&] { sb->let(u"Max", Variant(int32_t{40000})); }), 6);
  sb->let(u"Min", Variant(int16_t{8}));  // the value follows the new range
  EXPECT_EQ(log(), u"change7 change8 ");

  // Min above Max: the bar counts down from its left end.
  clear_log();
  sb->let(u"Max", Variant(int16_t{0}));
  sb->let(u"Min", Variant(int16_t{10}));
  sb->let(u"Value", Variant(int16_t{10}));
  QTest::mouseClick(bar, Qt::LeftButton, {}, scroll_part(bar, QStyle::SC_ScrollBarAddLine).center());
  QTest::keyClick(bar, Qt::Key_Home);
  EXPECT_EQ(log(), u"change10 change9 change10 ");
}

TEST_F(ListControlsTest, TypeNamesAndElementSettings) {
  struct Case { std::u16string_view kind; std::u16string_view type_name; };
  const Case cases[] = {{u"list", u"ListBox"},         {u"combo", u"ComboBox"},
                        {u"lcombo", u"ComboBox"},      {u"hscroll", u"HScrollBar"},
                        {u"vscroll", u"VScrollBar"}};
  for (const Case& c : cases) {
    add({Variant(c.kind), Variant(int16_t{2})});
    ToolkitWindow* e = element(c.kind, 2);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type_name(), c.type_name);
  }
  // A new element takes element 0's settings, not its items.
  add({Variant(u"list"), Variant(int16_t{0}), Variant(u"Sorted=True"), Variant(u"Style=1"), Variant(u"~AddItem \"z\"")});
  add({Variant(u"list"), Variant(int16_t{3}), Variant(u"~AddItem \"b\""), Variant(u"~AddItem \"A\"")});
  ToolkitWindow* list = element(u"list", 3);
  EXPECT_EQ(to_long(list->get(u"ListCount")), 2);
  EXPECT_EQ(to_u16(list->get(u"List", {Variant(int16_t{0})})), u"A");
  EXPECT_EQ(to_long(list->get(u"NewIndex")), 0);
  EXPECT_EQ(to_long(list->get(u"Style")), 1);
  add({Variant(u"vscroll"), Variant(int16_t{0}), Variant(u"Min=5"), Variant(u"Max=50"), Variant(u"Value=20")});
  add({Variant(u"vscroll"), Variant(int16_t{3})});
  EXPECT_EQ(to_long(element(u"vscroll", 3)->get(u"Value")), 20);
  EXPECT_EQ(to_long(element(u"vscroll", 3)->get(u"Max")), 50);
}

}  // namespace
}  // namespace qz
