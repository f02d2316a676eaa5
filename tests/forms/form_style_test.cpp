// The form's Style switches read back from the window's flags, and pop-up menus at a point.
#include <QMenu>
#include <QTimer>

#include "forms/form_menu.h"
#include "platform/qt/window_styles.h"
#include "tests/forms/form_script_fixture.h"

namespace qz {
namespace {

class FormStyleTest : public FormScriptTest {
 protected:
  void SetUp() override {
    FormScriptTest::SetUp();
    form->show2(false);
    settle();
    style = to_object(form->get(u"Style"));
  }
  Qt::WindowFlags flags() { return form_widget()->windowFlags(); }
  Object* style = nullptr;
};

TEST_F(FormStyleTest, DefaultsAreStoredNotRead) {
  struct Case {
    const char16_t* name;
    bool value;
  };
  for (Case c : {Case{u"CloseButton", true}, Case{u"ToolWindow", false}, Case{u"TitleBar", true}, Case{u"TaskBar", true},
                 Case{u"SizeBorder", false}, Case{u"ControlBox", true}, Case{u"MinButton", true}, Case{u"MaxButton", false}})
    EXPECT_EQ(to_bool(style->get(c.name)), c.value) << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
  EXPECT_EQ(to_long(style->get(u"pHwnd")), form->window().handle());
}

TEST_F(FormStyleTest, EachSwitchReachesTheWindowFlags) {
  struct Case {
    const char16_t* name;
    bool value;
    Qt::WindowType flag;
    bool expect_set;
  };
  const Case cases[] = {
      {u"TitleBar", false, Qt::FramelessWindowHint, true},   {u"TitleBar", true, Qt::WindowTitleHint, true},
      {u"MinButton", false, Qt::WindowMinimizeButtonHint, false},
      {u"MaxButton", true, Qt::WindowMaximizeButtonHint, true},
      {u"CloseButton", false, Qt::WindowCloseButtonHint, false},
      {u"CloseButton", true, Qt::WindowCloseButtonHint, true},
      {u"ControlBox", false, Qt::WindowSystemMenuHint, false},
      {u"ControlBox", true, Qt::WindowSystemMenuHint, true},
      {u"SizeBorder", false, Qt::MSWindowsFixedSizeDialogHint, true},
      {u"SizeBorder", true, Qt::MSWindowsFixedSizeDialogHint, false},
      {u"ToolWindow", true, Qt::Tool, true},                 {u"ToolWindow", false, Qt::Tool, false},
      {u"TaskBar", false, Qt::Tool, true},                   {u"TaskBar", true, Qt::Tool, false},
  };
  for (const Case& c : cases) {
    style->let(c.name, Variant(c.value));
    EXPECT_EQ(flags().testFlag(c.flag), c.expect_set)
        << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name)) << "=" << c.value;
    EXPECT_EQ(to_bool(style->get(c.name)), c.value);
    EXPECT_TRUE(form_widget()->isVisible());
  }
}

TEST_F(FormStyleTest, TaskBarShowsAHiddenFormOthersKeepItHidden) {
  form->hide();
  style->let(u"MaxButton", Variant(false));
  EXPECT_FALSE(form_widget()->isVisible());
  style->let(u"TaskBar", Variant(false));
  EXPECT_TRUE(form_widget()->isVisible());
}

TEST_F(FormStyleTest, WithoutAWindowTheValueIsOnlyStored) {
  Ref<FormStyle> loose = make_ref<FormStyle>();
  loose->let(u"TitleBar", Variant(false));
  EXPECT_FALSE(to_bool(loose->get(u"TitleBar")));
  loose->let(u"pHwnd", Variant(int32_t{123456}));  // no such window: stored, nothing raised
  loose->let(u"MinButton", Variant(false));
  EXPECT_FALSE(to_bool(loose->get(u"MinButton")));
}

TEST_F(FormStyleTest, PopupMenuOpensAtThePointAndTakesAMouseChoice) {
  code(u"Function Menu9_Click()\nlog = log & \"m9 \"\nMenu9_Click = 1\nEnd Function\n"
       u"Sub Menu_Click(id)\nlog = log & \"menu\" & id & \" \"\nEnd Sub\n");
  Ref<FormMenu> popup = make_ref<FormMenu>();
  popup->form_tag = 2;
  popup->hwnd = form->window().handle();
  popup->let(u"IsPopupMenu", Variant(true));
  popup->call(u"Add", {Variant(int32_t{8}), Variant(u"Eight"), Variant(u"")});
  popup->call(u"Add", {Variant(int32_t{9}), Variant(u"Nine"), Variant(u"")});
  QPoint where;
  QTimer::singleShot(50, [&] {
    auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!open) return;
    where = open->pos();
    QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(open->actions()[1]).center());
  });
  popup->call(u"Show", {Variant(int32_t{40}), Variant(int32_t{60})});
  EXPECT_EQ(where, QPoint(40, 60));
  EXPECT_EQ(log(), u"m9 ");  // a non-zero result suppresses Menu_Click
}

}  // namespace
}  // namespace qz
