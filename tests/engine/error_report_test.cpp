// The lines a script error shows, in both languages, and the source lookup in the modules.
#include <gtest/gtest.h>

#include "engine/about_box.h"
#include "engine/script_error_dialog.h"

namespace qz {
namespace {

TEST(ScriptErrorLines, EnglishAndRussian) {
  ScriptErrorInfo info;
  info.number = 13;
  info.line = 7;
  info.description = u"Type mismatch";
  info.text = u"x = \"a\" * 2";
  ScriptErrorLines en = script_error_lines(info, 1033);
  EXPECT_EQ(en.header, u"Error [13] line - 7");
  EXPECT_EQ(en.type, u"Type -> Type mismatch");
  EXPECT_EQ(en.code, u"Code -> x = \"a\" * 2");
  ScriptErrorLines ru = script_error_lines(info, 1049);
  EXPECT_EQ(ru.header, u"Ошибка [13] на строке - 7");
  EXPECT_EQ(ru.type, u"Тип -> Type mismatch");
  EXPECT_EQ(ru.code, u"Код -> x = \"a\" * 2");
}

TEST(ScriptErrorLines, FailingLineIsLookedUpInEveryModuleLongEnough) {
  ModuleTable modules;
  modules.set(1, ModuleEntry{u"main", 1, ModuleKind::Module, u"a\r\n   second of main  \r\nc", u""});
  modules.set(2, ModuleEntry{u"lib", 2, ModuleKind::Module, u"only one line", u""});
  modules.set(3, ModuleEntry{u"form", 3, ModuleKind::Form, u"x\r\nsecond of form", u""});
  EXPECT_EQ(failing_source_lines(2, modules, 4), u"second of main\r\nsecond of form");
  EXPECT_EQ(failing_source_lines(2, modules, 3), u"second of main");  // only modules below Count
  EXPECT_EQ(failing_source_lines(0, modules, 4), u"");
  EXPECT_EQ(failing_source_lines(9, modules, 4), u"");
}

TEST(AboutBox, TextsInTheEngineLanguage) {
  std::u16string en = about_box_text(1033);
  EXPECT_EQ(en.rfind(u"About Quazel\nQuazel\nVersion 7.0\n", 0), 0u);
  std::u16string ru = about_box_text(1049);
  EXPECT_NE(ru.find(u"Версия 7.0"), std::u16string::npos);
  EXPECT_NE(ru.find(u"Скрипт-движок"), std::u16string::npos);
}

}  // namespace
}  // namespace qz
