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

TEST(ScriptErrorLines, MovedToTheLineTheUserWrote) {
  // Two source files marked, then passed through as a translation would: lines joined, a
  // blank line dropped, generated lines put in front.
  SourceLineTable table;
  std::u16string main = u"Sub Load(cmd)\r\n\r\n  x = 1 / 0\r\nEnd Sub";
  tr::mark_lines(main, u"", 1, table);
  std::u16string inc = u"Function F()\r\n  F = \"a\" * 2\r\nEnd Function";
  tr::mark_lines(inc, u"helper.qzi", 2, table);
  std::u16string code = u"Const qz_IDM = 1\r\n\r\n" + inc + u"\r\n" + main;
  LineOrigins origins{std::make_shared<SourceLineTable>(table), tr::unmark(code)};
  EXPECT_EQ(code.find(u'\xFDD0'), std::u16string::npos);
  EXPECT_EQ(code, u"Const qz_IDM = 1\r\n\r\nFunction F()\r\n  F = \"a\" * 2\r\nEnd Function\r\n"
                  u"Sub Load(cmd)\r\n\r\n  x = 1 / 0\r\nEnd Sub");

  struct Row {
    int generated_line;
    int line;
    std::u16string file, text;
  } rows[] = {
      {1, 1, u"", u"generated"},              // prologue: left as it was
      {4, 3, u"helper.qzi", u"  F = \"a\" * 2"},
      {8, 3, u"", u"  x = 1 / 0"},
      {9, 4, u"", u"End Sub"},
      {10, 10, u"", u"generated"},            // past the end
  };
  for (const Row& r : rows) {
    ScriptErrorInfo info;
    info.number = 11;
    info.line = r.generated_line;
    info.text = u"generated";
    std::u16string file = u"stale";
    ScriptErrorInfo moved = at_source_line(info, &origins, file);
    EXPECT_EQ(moved.line, r.line) << r.generated_line;
    EXPECT_EQ(moved.text, r.text) << r.generated_line;
    EXPECT_EQ(file, r.file) << r.generated_line;
  }
  ScriptErrorInfo info;
  info.number = 11;
  info.line = 4;
  EXPECT_EQ(script_error_lines(info, 1033, u"helper.qzi").header, u"Error [11] line - 4 (helper.qzi)");
  EXPECT_EQ(script_error_lines(info, 1049, u"helper.qzi").header, u"Ошибка [11] на строке - 4 (helper.qzi)");
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
