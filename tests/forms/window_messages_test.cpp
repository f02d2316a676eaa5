// Window messages (AttachMsg / DetachMsg, ISubclass_WindowProc) made from Qt events, their
// lifetime, and run-time menus: the menu bar by mouse and keyboard, pop-ups, the dispatch rule.
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "forms/form_menu.h"
#include "forms/message_subscriptions.h"
#include "platform/event_loop.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

class WindowMessagesTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    code(u"Function ISubclass_WindowProc(hWnd, iMsg, wParam, lParam)\n"
         u"log = log & iMsg & \":\" & wParam & \":\" & lParam & \" \"\nEnd Function\n"
         u"Function Menu5_Click()\nlog = log & \"m5 \"\nEnd Function\n"
         u"Function Menu7_Click()\nlog = log & \"m7 \"\nMenu7_Click = True\nEnd Function\n"
         u"Sub Menu_Click(id)\nlog = log & \"menu\" & id & \" \"\nEnd Sub\n"
         u"Sub Tools3_Click()\nlog = log & \"t3 \"\nEnd Sub\n"
         u"Sub Tools_Click(id)\nlog = log & \"tools\" & id & \" \"\nEnd Sub\n");
    form->show2(false);
    settle();
  }
  void attach(int32_t message, int32_t window = -1) { form->call(u"AttachMsg", {Variant(message), Variant(window)}); }
  void detach(int32_t message, int32_t window = -1) { form->call(u"DetachMsg", {Variant(message), Variant(window)}); }
  FormMenu& menu() { return form->menu(); }
  void menu_add(std::vector<Variant> args) { menu().call(u"Add", std::move(args)); }
  QMenuBar* bar() { return form_widget()->findChild<QMenuBar*>(); }
  QAction* action(QWidget* menu_widget, const QString& text) {
    for (QAction* a : menu_widget->actions())
      if (a->text() == text) return a;
    return nullptr;
  }
};

TEST_F(WindowMessagesTest, QtEventsArriveAsTheMessagesOfTheTable) {
  struct Row {
    int32_t message;
    std::function<void(QWidget*)> act;
    std::u16string expect;
  };
  const Row rows[] = {
      {512, [](QWidget* w) { QTest::mouseMove(w, QPoint(5, 6)); }, u"512:0:393221 "},
      {513, [](QWidget* w) { QTest::mousePress(w, Qt::LeftButton, {}, QPoint(10, 20)); }, u"513:1:1310730 "},
      {514, [](QWidget* w) { QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(10, 20)); }, u"514:0:1310730 "},
      {516, [](QWidget* w) { QTest::mousePress(w, Qt::RightButton, Qt::ShiftModifier, QPoint(1, 2)); },
       u"516:6:131073 "},
      {256, [](QWidget* w) { QTest::keyPress(w, Qt::Key_A); }, u"256:65:1 "},
      {258, [](QWidget* w) { QTest::keyPress(w, Qt::Key_B); }, u"258:98:1 "},
      {257, [](QWidget* w) { QTest::keyRelease(w, Qt::Key_A); }, u"257:65:-1073741823 "},
      {5, [](QWidget* w) { w->resize(200, 100); }, u"5:0:6553800 "},
      {15, [](QWidget* w) { w->repaint(); }, u"15:0:0 "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    clear_log();
    attach(row.message);
    row.act(form_widget());
    settle();
    EXPECT_EQ(log(), row.expect);
    detach(row.message);
    clear_log();
    row.act(form_widget());
    settle();
    EXPECT_EQ(log(), u"");  // detached: nothing more
  }
}

TEST_F(WindowMessagesTest, SubscriptionsGoWithTheirWindowAndAtUnload) {
  add({Variant(u"command"), Variant(int16_t{1})});
  int32_t button = element(u"command", 1)->handle();
  size_t own = subscription_count();  // the form's WM_COMMAND
  attach(512, button);
  attach(2, button);
  attach(2, button);  // the same subscription twice is one
  EXPECT_EQ(subscription_count(), own + 2);
  attach(512, 123456789);  // a number that names no window subscribes nothing
  EXPECT_EQ(subscription_count(), own + 2);
  form->call(u"Remove", {Variant(u"command"), Variant(int16_t{1})});
  EXPECT_EQ(log(), u"2:0:0 ");  // the window says it goes, and its entries go with it
  EXPECT_EQ(subscription_count(), own);

  attach(512);
  form->call(u"UnloadForm");
  EXPECT_EQ(subscription_count(), 0u);

  // The engine's reset withdraws what a form without a window subscribed elsewhere.
  Ref<ScriptForm> other = create_script_form(2, u"Form2");
  other->show2(false);
  form->call(u"AttachMsg", {Variant(int32_t{512}), Variant(other->window().handle())});
  EXPECT_GT(subscription_count(), 0u);
  unload_all_script_forms();
  EXPECT_EQ(subscription_count(), 0u);
}

TEST_F(WindowMessagesTest, MenuBarByMouseAndKeyboard) {
  menu_add({Variant(int32_t{5}), Variant(u"&Go"), Variant(u"")});
  menu_add({Variant(int32_t{0}), Variant(u"&File"), Variant(u"file")});
  Object* file = to_object(menu().get(u"subMenu", {Variant(u"file")}));
  file->call(u"Add", {Variant(int32_t{7}), Variant(u"&Open"), Variant(u"")});
  file->call(u"Add", {Variant(int32_t{8}), Variant(u"-"), Variant(u"")});
  file->call(u"Add", {Variant(int32_t{9}), Variant(u"- x"), Variant(u"")});
  EXPECT_EQ(bar(), nullptr);  // items show with the next paint, which redraws the menu
  form_widget()->repaint();
  settle();
  ASSERT_NE(bar(), nullptr);
  ASSERT_EQ(bar()->actions().size(), 2);
  QMenu* file_menu = bar()->actions()[1]->menu();
  ASSERT_NE(file_menu, nullptr);
  ASSERT_EQ(file_menu->actions().size(), 3);
  EXPECT_TRUE(file_menu->actions()[1]->isSeparator());  // exactly "-" is a separator
  EXPECT_FALSE(file_menu->actions()[2]->isSeparator());

  // The controls keep their place below the bar.
  add({Variant(u"command"), Variant(int16_t{1}), Variant(u"Move 150, 300")});
  EXPECT_EQ(widget(u"command", 1)->y(), 20 + bar()->height());
  EXPECT_EQ(to_long(element(u"command", 1)->get(u"Top")), 300);

  // A click on an item of the bar: WM_COMMAND with the id, then Menu5_Click and Menu_Click.
  QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->actionGeometry(bar()->actions()[0]).center());
  settle();
  EXPECT_EQ(log(), u"273:5:0 m5 menu5 ");

  // The keyboard: Alt+F opens File, O chooses Open; Menu7_Click returns True: no Menu_Click.
  clear_log();
  form_widget()->activateWindow();
  QTest::qWaitForWindowActive(form_widget(), 1000);
  QTest::keyClick(form_widget(), Qt::Key_F, Qt::AltModifier);
  settle();
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  QTest::keyClick(popup, Qt::Key_O);
  settle();
  EXPECT_EQ(log(), u"273:7:0 m7 ");

  // A named menu takes its own procedures.
  clear_log();
  menu().let(u"NameMenu", Variant(u"Tools"));
  form->window_proc(form->window().handle(), 273, 3, 0);
  EXPECT_EQ(log(), u"273:3:0 t3 tools3 ");
  // A control's notification (lParam a window) runs only the window procedure.
  clear_log();
  form->window_proc(form->window().handle(), 273, 3, 77);
  EXPECT_EQ(log(), u"273:3:77 ");
}

TEST_F(WindowMessagesTest, APopupMenuLetsTheEnginesTimersRun) {
  Ref<FormMenu> popup = make_ref<FormMenu>();
  popup->form_tag = 2;
  popup->hwnd = form->window().handle();
  popup->let(u"IsPopupMenu", Variant(true));
  popup->call(u"Add", {Variant(int32_t{5}), Variant(u"Five"), Variant(u"")});
  popup->call(u"Add", {Variant(int32_t{7}), Variant(u"Seven"), Variant(u"")});
  int ticks = 0;
  EventLoop& loop = event_loop();
  EventLoop::TimerId timer = loop.set_timer(20, [&] { ++ticks; });
  // While the menu is open, a timer of Qt's chooses Seven by the keyboard.
  int ticks_when_chosen = -1;
  QTimer::singleShot(200, [&] {
    ticks_when_chosen = ticks;
    if (QWidget* open = QApplication::activePopupWidget()) {
      QTest::keyClick(open, Qt::Key_Down);
      QTest::keyClick(open, Qt::Key_Down);
      QTest::keyClick(open, Qt::Key_Return);
    }
  });
  form->call(u"ShowMenu", {Variant(static_cast<Object*>(popup.get()))});
  loop.kill_timer(timer);
  EXPECT_GT(ticks_when_chosen, 2);
  EXPECT_EQ(log(), u"m7 ");

  // Dismissed without a choice: id 0.
  clear_log();
  QTimer::singleShot(50, [] {
    if (QWidget* open = QApplication::activePopupWidget()) QTest::keyClick(open, Qt::Key_Escape);
  });
  popup->call(u"Show", {Variant(int32_t{-1}), Variant(int32_t{-1})});
  EXPECT_EQ(log(), u"menu0 ");
}

TEST_F(WindowMessagesTest, MenuItemsState) {
  menu_add({Variant(int32_t{4}), Variant(u"Four"), Variant(u""), Variant(int16_t{1}), Variant(false), Variant(true)});
  EXPECT_EQ(to_u16(menu().get(u"GetNameItem", {Variant(int32_t{4})})), u"Four");
  EXPECT_EQ(to_u16(menu().get(u"GetNameItem", {Variant(int32_t{99})})), u"");
  EXPECT_EQ(to_long(menu().call(u"GetStateItem", {Variant(int32_t{4}), Variant(int32_t{0xFFFF})})), 9);  // grayed, checked
  EXPECT_EQ(to_long(menu().call(u"GetStateItem", {Variant(int32_t{99}), Variant(int32_t{0x0F})})), 0x0F);
  // An empty caption keeps the text, -1 keeps the id.
  EXPECT_EQ(to_long(menu().call(u"SetStateItem", {Variant(int32_t{4}), Variant(int32_t{0}), Variant(u""), Variant(int32_t{-1})})), 1);
  EXPECT_EQ(to_u16(menu().get(u"GetNameItem", {Variant(int32_t{4})})), u"Four");
  EXPECT_EQ(to_long(menu().call(u"GetStateItem", {Variant(int32_t{4}), Variant(int32_t{0xFFFF})})), 0);
  menu().call(u"SetStateItem", {Variant(int32_t{4}), Variant(int32_t{0}), Variant(u"Vier"), Variant(int32_t{40})});
  EXPECT_EQ(to_u16(menu().get(u"GetNameItem", {Variant(int32_t{40})})), u"Vier");
  menu().call(u"Remove", {Variant(int32_t{0})});
  EXPECT_EQ(to_u16(menu().get(u"GetNameItem", {Variant(int32_t{40})})), u"");
}

}  // namespace
}  // namespace qz
