// What a script error shows: the three lines of the error dialog (error number and line, the
// description, the failing source text) in the engine's language, and the dialog itself, which
// without a display is its text on the error stream.
#pragma once
#include <cstddef>
#include <string>

#include "engine/translator/source_lines.h"
#include "engine/translator/translator_state.h"
#include "platform/window/dialog_services.h"
#include "script/script_control.h"

namespace qz {

struct ScriptErrorLines {
  std::u16string header;  // "Error [13] line - 5"
  std::u16string type;    // "Type -> Type mismatch"
  std::u16string code;    // "Code -> x = 1 + s"
};

// Russian texts for language 1049, English otherwise.
// `file` names the file the line is in when it is not the script itself.
ScriptErrorLines script_error_lines(const ScriptErrorInfo& info, int language_id, std::u16string_view file = {});

// The error moved to the line the user wrote: line number and text from `origins` (the
// source lines of the code the error is in); `file` gets that line's file name (empty for
// the script itself). Unchanged when the line is generated text.
ScriptErrorInfo at_source_line(const ScriptErrorInfo& info, const LineOrigins* origins, std::u16string& file);

// The failing line looked up in the generated code of script modules 1 to module_count - 1,
// one trimmed line per module that is long enough, joined by CR LF.
std::u16string failing_source_lines(int line, const ModuleTable& modules, size_t module_count);

// Everything the dialog shows, in the engine's language: its labels, the report encoded for
// the mail link ("%20" for blanks, "%0D%0A" for line breaks, nothing else), the details.
struct ErrorReportContext {
  int language_id = 1033;
  std::u16string script_file, develop_address, system_version;
};
// The report itself, lines joined by CR LF: the begin marker, the three lines, the looked-up
// source lines, the script's path, the engine version, the system, the end marker.
std::u16string error_report_text(const ScriptErrorLines& lines, const std::u16string& source_lines,
                                 const ErrorReportContext& context);
ScriptErrorReport build_error_report(const ScriptErrorLines& lines, const std::u16string& source_lines,
                                     const ErrorReportContext& context);

// Shows the dialog: on a display (with UI allowed) the toolkit's, which waits to be closed and
// may open the mail link; otherwise the whole report on the error stream.
void show_script_error(const ScriptErrorLines& lines, const std::u16string& source_lines,
                       const ErrorReportContext& context, bool on_display);

}  // namespace qz
