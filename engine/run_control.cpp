// One run: read the script (a file, or the text itself), give the control its Sys object,
// translate, and call Load with the argument text.
#include "com/convert.h"
#include "engine/engine_core.h"
#include "engine/engine_paths.h"
#include "engine/translator/script_file_read.h"
#include "platform/codepage.h"
#include "platform/output.h"
#include "platform/path.h"
#include "runtime/script_file.h"
#include "runtime/script_timers.h"

namespace qz {

namespace {

// The report for a script file that is there but is no file a script can be read from; empty
// when there is nothing to report.
std::u16string script_file_refusal(std::u16string_view name, ScriptFileRead outcome) {
  const bool russian = language_id() == 1049;
  const std::u16string quoted = u"'" + std::u16string(name) + u"'";
  switch (outcome) {
    case ScriptFileRead::NotRegular:
      return russian ? u"Файл скрипта не является обычным файлом: " + quoted
                     : u"Script file is not a regular file: " + quoted;
    case ScriptFileRead::TooLarge:
      return russian ? u"Файл скрипта больше 256 МБ: " + quoted : u"Script file is larger than 256 MiB: " + quoted;
    default: return {};
  }
}

}  // namespace

void EngineCore::run_script(std::u16string_view text, bool load_required) {
  std::string bytes;
  std::u16string module_name;
  if (script_path_exists(text)) {
    const std::string os = find_path(text);
    // A folder or an unreadable file leaves the buffer empty: an empty text runs.
    if (!dir_exists(os)) {
      const std::u16string refusal = script_file_refusal(text, read_script_file(os, bytes));
      if (!refusal.empty()) {
        write_stderr(refusal + u"\n");
        set_failed();
        switch_end_timer_on();
        return;
      }
    }
    module_name = std::u16string(text);
  } else {
    // Script text: UTF-8 keeps every character; the translator reads it back as UTF-8.
    bytes = u16_to_utf8(text);
    take_host_command_line();
    module_name = u"Demo";
  }
  run_bytes(std::move(bytes), module_name, load_required);
}

void EngineCore::run_embedded_script(std::string bytes) {
  // The bytes go to the translator unchanged: a packed script must reach the unpacker intact,
  // and no command-line parsing applies to a script the program carries.
  take_host_command_line();
  run_bytes(std::move(bytes), u"Demo", true);
}

void EngineCore::take_host_command_line() {
  if (host_) {
    try {
      command_arg = to_u16(host_->call(u"GetExeCommand"));
    } catch (...) {
    }
  }
  script_file_name = u"Exe file";
}

void EngineCore::run_bytes(std::string bytes, const std::u16string& module_name, bool load_required) {
  // A new run starts with no timers of an earlier one.
  timers_->reset();
  errors_this_run_ = 0;
  script_folder_ = script_folder();

  // Sys must exist before the translation: code the translator adds runs as it is added.
  Ref<ScriptFile> sys = make_ref<ScriptFile>(*this);
  try {
    control_->add_object(u"Sys", Ref<Object>(sys.get()), false);
  } catch (...) {
  }
  control_->set_allow_ui(true);

  translate(std::move(bytes), module_name);
  // The run-level switches are known only now; the parts of sys they switch off go.
  sys->apply_run_levels(translator_.run_levels);

  run_load(load_required);
}

void EngineCore::run_load(bool load_required) {
  if (errors_this_run_ > 0) return;  // the translation failed and the run is ending
  Variant arg(command_arg);
  Variant cell = Variant::by_ref(&arg);
  uint64_t events_before = error_events_;
  try {
    ScriptModule* main = control_->module(1);
    if (!main) return;
    if (!load_required && !main->has_procedure(u"Load")) return;
    main->run(u"Load", Args(&cell, 1));
  } catch (const RunEnded&) {
    // Load was still running when its run ended: nothing to report.
  } catch (const ScriptInterrupted&) {
    // A stop signal came while Load ran: the loop now handles it and ends the run.
  } catch (const ScriptError& e) {
    // An error the control raised without its error event (no Load at all, say) is reported
    // here, so a script that cannot start never waits for ever.
    if (error_events_ == events_before) {
      ScriptErrorInfo info;
      info.number = e.number ? e.number : 35;
      info.source = e.source;
      info.description = e.description.empty() ? std::u16string(error_text(info.number)) : e.description;
      info.line = e.line;
      info.column = e.column;
      if (info.number == 35) info.text = u"Load";
      report_script_error(info);
    }
  } catch (...) {
    if (error_events_ == events_before) {
      ScriptErrorInfo info;
      info.number = 51;  // Internal error
      info.description = std::u16string(error_text(51));
      report_script_error(info);
    }
  }
}

}  // namespace qz
