#include "engine/quazel_object.h"

#include <optional>
#include <vector>

#include "com/convert.h"
#include "com/progid.h"
#include "engine/about_box.h"
#include "engine/command_line.h"
#include "engine/engine_core.h"
#include "engine/engine_paths.h"
#include "engine/make_order.h"
#include "platform/codepage.h"
#include "platform/output.h"

namespace qz {

namespace {

// The line's first word (up to a blank, or the closing quote of a quoted start) when it names
// a script file (ends in ".qz", any case) that does not exist.
std::optional<std::u16string> missing_script_file(std::u16string_view line) {
  std::u16string_view word;
  if (!line.empty() && line[0] == u'"') {
    size_t close = line.find(u'"', 1);
    word = line.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
  } else {
    word = line.substr(0, line.find(u' '));
  }
  if (word.size() < 4 || !iequals(word.substr(word.size() - 3), u".qz")) return std::nullopt;
  if (!existing_script_file(word).empty()) return std::nullopt;
  return std::u16string(word);
}

}  // namespace

Quazel::Quazel() { EngineCore::instance().attach(); }

Quazel::~Quazel() { EngineCore::instance().detach(); }

void Quazel::command(std::u16string_view line) {
  EngineCore& core = EngineCore::instance();
  core.set_default_develop_address();
  core.script_file_name = std::u16string(line);
  if (line.empty()) {
    // Closing the About box ends the run; without a display it closes at once.
    show_about_box(core.engine_folder() + u"help.chm", [] { EngineCore::instance().switch_end_timer_on(); });
    return;
  }
  ParsedCommand parsed = parse_command_line(
      line, [](std::u16string_view path) { return !existing_script_file(path).empty(); });
  core.script_file_name = parsed.file;
  if (parsed.arg) core.command_arg = *parsed.arg;

  std::u16string verb = lower(core.command_arg);
  if (verb == u"make") {
    run_make_order(core.script_file_name);
    core.switch_end_timer_on();
  } else if (verb == u"run") {
    core.run_script(u"<#Module=Main>\r\n" + core.script_file_name + u"\r\n<#Module>", false);
  } else if (script_path_exists(core.script_file_name)) {
    core.run_script(std::u16string(core.script_file_name));
  } else if (std::optional<std::u16string> missing = missing_script_file(line)) {
    // A mistyped script name is not script text: say so, and the run fails.
    write_stderr((language_id() == 1049 ? u"Файл скрипта не найден: '" : u"Script file not found: '") + *missing +
                 u"'\n");
    core.set_failed();
    core.switch_end_timer_on();
  } else {
    core.run_script(line);  // the whole line is the script
  }
}

Variant Quazel::func_run(std::u16string_view name, int16_t module, Args data) {
  ScriptModule* m = EngineCore::instance().script_control().module(module > 0 ? static_cast<size_t>(module) : 0);
  if (!m) return {};
  const size_t n = data.size();
  if (n == 0) return m->run(name, Args());
  if (n <= 10) {
    // Each argument by reference to the caller's value: what the procedure assigns reaches it.
    std::vector<Variant> cells;
    cells.reserve(n);
    for (size_t i = 0; i < n; ++i) {
      Variant& slot = data.data()[i];
      cells.push_back(slot.is_byref() ? slot : Variant::by_ref(&slot));
    }
    return m->run(name, Args(cells));
  }
  std::vector<Variant> all;
  all.reserve(n);
  for (size_t i = 0; i < n; ++i) all.push_back(data[i]);
  Variant array = Variant::from_vector(std::move(all));
  Variant cell = Variant::by_ref(&array);
  return m->run(name, Args(&cell, 1));
}

Variant Quazel::eval(std::u16string_view code, int16_t module, int16_t as_object) {
  ScriptControl& control = EngineCore::instance().script_control();
  Variant result;
  if (module > 0) {
    ScriptModule* m = control.module(static_cast<size_t>(module));
    if (!m) return {};
    result = m->eval(code);
  } else {
    result = control.eval(code);
  }
  if (as_object != 1 && result.deref().is_object()) return value_of(result);
  return result;
}

int16_t Quazel::state() {
  Variant v = EngineCore::instance().script_control().eval(u"qzl_version");
  return to_str(v).size() > 0 ? 1 : 0;
}

void Quazel::define(Members<Quazel>& m) {
  // Command, FuncRun, Eval, AddObject and SetObjExe never report a failure to their caller.
  m.method(u"Command", [](Quazel& q, Args a) {
    try {
      q.command(to_u16(a[0]));
    } catch (...) {
    }
    return Variant();
  });
  // The host's road for a script appended to a standalone program: a byte string, run as it is.
  m.method(u"CommandScript", [](Quazel&, Args a) {
    try {
      Str bytes = to_str(a[0]);
      EngineCore::instance().set_default_develop_address();
      EngineCore::instance().run_embedded_script(
          std::string(reinterpret_cast<const char*>(bytes.bytes()), bytes.byte_size()));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"FuncRun", [](Quazel& q, Args a) {
    try {
      Args data = a.size() > 2 ? Args(a.data() + 2, a.size() - 2) : Args();
      return q.func_run(to_u16(a[0]), to_integer(a[1]), data);
    } catch (...) {
      return Variant();
    }
  });
  m.method(u"Eval", [](Quazel& q, Args a) {
    try {
      return q.eval(to_u16(a[0]), a.has(1) ? to_integer(a[1]) : int16_t{0}, a.has(2) ? to_integer(a[2]) : int16_t{0});
    } catch (...) {
      return Variant();
    }
  });
  m.method(u"AddObject", [](Quazel&, Args a) {
    try {
      Object* obj = a[0].is_object() ? a[0].as_object() : nullptr;
      EngineCore::instance().script_control().add_object(to_u16(a[1]), Ref<Object>(obj), false);
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"SetObjExe", [](Quazel&, Args a) {
    try {
      EngineCore::instance().set_host_object(Ref<Object>(to_object(a[0])));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"AddCode", [](Quazel&, Args a) {
    EngineCore::instance().add_code_text = to_u16(a[0]);
    return Variant();
  });
  m.method(u"Reset", [](Quazel&, Args) {
    EngineCore::instance().switch_end_timer_on();
    return Variant();
  });
  m.method(u"State", [](Quazel& q, Args) { return Variant(q.state()); });
  m.getter(u"ExitStatus", [](Quazel&, Args) {
    return Variant(static_cast<int32_t>(EngineCore::instance().exit_status()));
  });
}

void register_quazel_class() {
  if (!progid_registered(u"Tolvex.Quazel"))
    register_progid(u"Tolvex.Quazel", [] { return Ref<Object>(new Quazel()); });
}

}  // namespace qz
