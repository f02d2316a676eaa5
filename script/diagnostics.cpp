#include "script/diagnostics.h"

#include <string>

namespace qz::vbs {

void compile_error(int32_t number, int line, int col) {
  std::u16string_view text = error_text(number);
  ScriptError e(number, std::u16string(kCompileSource),
                text.empty() ? std::u16string(u"Syntax error") : std::u16string(text));
  e.line = line;
  e.column = col;
  e.compile = true;
  throw e;
}

void runtime_error(int32_t number) {
  std::u16string_view text = error_text(number);
  throw ScriptError(number, std::u16string(kRuntimeSource),
                    text.empty() ? std::u16string(u"Unknown runtime error") : std::u16string(text));
}

void runtime_error_named(int32_t number, std::u16string_view name) {
  std::u16string text(error_text(number));
  if (text.empty()) text = u"Unknown runtime error";
  size_t plain = text.size();
  text += u": '";
  text += name;
  text += u"'";
  ScriptError e(number, std::u16string(kRuntimeSource), std::move(text));
  e.report_suffix = e.description.size() - plain;
  throw e;
}

}  // namespace qz::vbs
