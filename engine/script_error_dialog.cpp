#include "engine/script_error_dialog.h"

#include "engine/engine_core.h"
#include "engine/script_trim.h"
#include "engine/translator/text_util.h"
#include "platform/codepage.h"
#include "platform/output.h"

namespace qz {

namespace {

using tr::num;

}  // namespace

ScriptErrorInfo at_source_line(const ScriptErrorInfo& info, const LineOrigins* origins, std::u16string& file) {
  file.clear();
  const SourceLine* src = origins ? origins->find(info.line) : nullptr;
  if (!src) return info;
  ScriptErrorInfo moved = info;
  moved.line = src->line;
  moved.text = src->text;
  moved.column = 0;  // columns of generated text say nothing about the user's line
  file = src->file;
  return moved;
}

ScriptErrorLines script_error_lines(const ScriptErrorInfo& info, int language_id, std::u16string_view file) {
  ScriptErrorLines l;
  if (language_id == 1049) {
    l.header = u"Ошибка [" + num(info.number) + u"] на строке - " + num(info.line);
    l.type = u"Тип -> " + info.description;
    l.code = u"Код -> " + info.text;
  } else {
    l.header = u"Error [" + num(info.number) + u"] line - " + num(info.line);
    l.type = u"Type -> " + info.description;
    l.code = u"Code -> " + info.text;
  }
  if (!file.empty()) l.header += u" (" + std::u16string(file) + u")";
  return l;
}

std::u16string failing_source_lines(int line, const ModuleTable& modules, size_t module_count) {
  std::u16string out;
  if (line < 1) return out;
  const size_t index = static_cast<size_t>(line - 1);
  for (size_t i = 1; i + 1 <= module_count && i < ModuleTable::kSize; ++i) {
    const ModuleEntry* m = modules.find(static_cast<int>(i));
    if (!m) continue;
    std::vector<std::u16string_view> lines = tr::split_crlf(m->code);
    if (index < lines.size()) {
      out += trim_blanks(lines[index]);
      out += u"\r\n";
    }
  }
  if (out.size() >= 2) out.resize(out.size() - 2);
  return out;
}

void show_script_error(const ScriptErrorLines& lines, const std::u16string& source_lines) {
  std::u16string code = lines.code;
  // Only the prefix: the control had no source text for the line.
  if ((code.size() == 7 || code.size() == 8) && !source_lines.empty()) {
    code += tr::replace_all(source_lines, u"\r\n", u"\n");
  }
  write_stderr(lines.header + u"\n" + lines.type + u"\n" + code + u"\n");
}

void EngineCore::report_script_error(const ScriptErrorInfo& info) {
  ++errors_this_run_;
  set_failed();
  if (!translator_.no_show_error) {
    try {
      auto found = code_origins_.find(info.unit);
      std::u16string file;
      ScriptErrorInfo shown = at_source_line(info, found == code_origins_.end() ? nullptr : &found->second, file);
      show_script_error(script_error_lines(shown, language_id(), file),
                        failing_source_lines(info.line, translator_.modules, control_->module_count()));
    } catch (...) {
    }
  }
  switch_end_timer_on();
}

}  // namespace qz
