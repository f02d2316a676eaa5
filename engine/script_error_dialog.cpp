#include "engine/script_error_dialog.h"

#include "engine/engine_core.h"
#include "engine/script_trim.h"
#include "engine/engine_utilities.h"
#include "engine/translator/text_util.h"
#include "engine/version.h"
#include "platform/dialogs.h"
#include "platform/window/window_system.h"
#include "runtime/helpers/process_start.h"
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

std::u16string error_report_text(const ScriptErrorLines& lines, const std::u16string& source_lines,
                                 const ErrorReportContext& c) {
  return u"------Begin of Report-------\r\n" + lines.header + u"\r\n" + lines.type + u"\r\n" + lines.code +
         u"\r\nOther -> " + source_lines + u"\r\nPath -> " + c.script_file + u"\r\nVersion -> " +
         num(kEngineVersionMajor) + u"." + num(kEngineVersionMinor) + u"." + num(kEngineVersionRevision) +
         u"\r\nWindows -> " + c.system_version + u"\r\n-------End of Report--------";
}

ScriptErrorReport build_error_report(const ScriptErrorLines& lines, const std::u16string& source_lines,
                                     const ErrorReportContext& c) {
  const bool ru = c.language_id == 1049;
  const std::u16string pad(7, u' ');
  ScriptErrorReport r;
  r.caption = u"Quazel";
  if (ru) {
    r.intro = u"\r\n" + pad + u"Quazel - обнаружена ошибка.\r\n" + pad + u"Приложение будет закрыто.\r\n" + pad +
              u"Приносим извинения за неудобства.";
    r.lost_work = u"Если работа не была закончена, то рабочие данные могут быть утеряны.";
    r.tell = u"Передайте Brenwick сведения об ошибке.";
    r.created = u"Создан отчет об ошибке, который вы сможете отправить нам. Этот отчет будет конфиденциальным и анонимным.";
    r.see = u"Для просмотра данных, содержащихся в отчете,";
    r.click_here = u"щелкните здесь.";
    r.send = u"Отправить отчет";
    r.dont_send = u"Не отправлять";
    r.details_title = u"Сведения об ошибке ";
    r.details_close = u"Закрыть";
  } else {
    r.intro = u"\r\n" + pad + u"Quazel - has encountered a\r\n" + pad + u"problem and needs to close.\r\n" + pad +
              u"We are sorry for the inconvenience.";
    r.lost_work = u"If you were in the middle of something, the information you were working on midht be lost.";
    r.tell = u"Please tell Brenwick about this problem.";
    r.created = u"We have created an error report that you can send to us. We will treat this report as confidential and anonymous.";
    r.see = u"To see what data this error report contains,";
    r.click_here = u"click here.";
    r.send = u"Send report";
    r.dont_send = u"Don't send";
    r.details_title = u"Info this error";
    r.details_close = u"Close";
  }
  r.header = lines.header;
  r.type = lines.type;
  r.code = lines.code;
  r.source_lines = source_lines;
  std::u16string report = error_report_text(lines, source_lines, c);
  report = tr::replace_all(tr::replace_all(report, u" ", u"%20"), u"\r\n", u"%0D%0A");
  r.mail_link = u"mailto:" + c.develop_address + u"?subject=Quazel_Error_Mail&body=" + report;
  r.details_caption = u"Quazel Report Error";
  // Only the prefix: the control gave no source text, so the looked-up lines follow it.
  r.details_code = (lines.code.size() == 7 || lines.code.size() == 8) ? lines.code + source_lines : lines.code;
  r.details_version = u"Quazel Engine v" + num(kEngineVersionMajor) + u"." + num(kEngineVersionMinor);
  return r;
}

void show_script_error(const ScriptErrorLines& lines, const std::u16string& source_lines,
                       const ErrorReportContext& context, bool on_display) {
  if (on_display) {
    window_system().dialogs().show_script_error(build_error_report(lines, source_lines, context),
                                                [](const std::u16string& link) { open_with_desktop(link); });
    return;
  }
  // Nobody can open a dialog here, so the whole report goes to the error stream; when the
  // control had no source text for the line, the looked-up lines stand in for it.
  ScriptErrorLines shown = lines;
  if ((shown.code.size() == 7 || shown.code.size() == 8) && !source_lines.empty()) {
    shown.code += source_lines;
  }
  write_stderr(tr::replace_all(error_report_text(shown, source_lines, context), u"\r\n", u"\n") + u"\n");
}

void EngineCore::report_script_error(const ScriptErrorInfo& info) {
  ++errors_this_run_;
  set_failed();
  if (!translator_.no_show_error) {
    try {
      auto found = code_origins_.find(info.unit);
      std::u16string file;
      ScriptErrorInfo shown = at_source_line(info, found == code_origins_.end() ? nullptr : &found->second, file);
      ErrorReportContext context{language_id(), script_file_name, translator_.develop_address, system_version_text()};
      show_script_error(script_error_lines(shown, language_id(), file),
                        failing_source_lines(info.line, translator_.modules, control_->module_count()), context,
                        control_->allow_ui() && dialogs_on_display());
    } catch (...) {
    }
  }
  switch_end_timer_on();
}

}  // namespace qz
