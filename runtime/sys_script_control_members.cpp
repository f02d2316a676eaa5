// sys members that end the run, load further script code and report machine facts:
// EndQZ, IsEnd, AddQZ, AddCodeQZ, AddCode, WinInfo, GenTemp.
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "com/convert.h"
#include "platform/path.h"
#include "runtime/random_text.h"
#include "runtime/script_file.h"
#include "runtime/system_info.h"
#include "script/script_control.h"

namespace qz {

namespace {

std::optional<std::string> read_file_bytes(const std::string& os_file) {
  std::ifstream in(os_file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// AddQZ's search: the name, the name with ".qz", then both under the engine's lib folder.
std::optional<std::u16string> find_script(EngineLink& engine, const std::u16string& name) {
  std::u16string lib = engine.engine_folder() + u"lib/";
  for (const std::u16string& candidate : {name, name + u".qz", lib + name, lib + name + u".qz"}) {
    if (path_exists(find_path(candidate))) return candidate;
  }
  return std::nullopt;
}

void add_qz(EngineLink& engine, const std::u16string& name_macros, const std::u16string& module_name) {
  std::u16string name = engine.expand_path_macros(name_macros);
  std::optional<std::u16string> found = find_script(engine, name);
  if (!found) return;
  std::optional<std::string> bytes = read_file_bytes(find_path(*found));
  if (!bytes) return;
  engine.translate(std::move(*bytes), module_name.empty() ? *found : module_name);
}

}  // namespace

void define_sys_script_control_members(Members<ScriptFile>& m) {
  m.method(u"EndQZ", [](ScriptFile& s, Args) {
    s.engine().request_end();
    return Variant();
  });
  m.method(u"IsEnd", [](ScriptFile& s, Args) { return Variant(s.engine().end_requested()); });

  m.method(u"AddQZ", [](ScriptFile& s, Args a) {
    try {
      add_qz(s.engine(), to_u16(a[0]), a.has(1) ? to_u16(a[1]) : std::u16string());
    } catch (...) {
    }
    return Variant();
  });
  // The code goes to the translator as UTF-8, which it reads back without loss.
  m.method(u"AddCodeQZ", [](ScriptFile& s, Args a) {
    try {
      s.engine().translate(u16_to_utf8(to_u16(a[0])), a.has(1) ? to_u16(a[1]) : std::u16string());
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"AddCode", [](ScriptFile& s, Args a) {
    try {
      s.engine().script_control().add_code(to_u16(a[0]));
    } catch (...) {
    }
    return Variant();
  });

  m.method(u"WinInfo", [](ScriptFile&, Args a) {
    try {
      return Variant(system_info(lower(to_u16(a[0]))));
    } catch (...) {
      return Variant(Str());
    }
  });
  m.method(u"GenTemp", [](ScriptFile&, Args a) {
    try {
      int16_t n = to_integer(a[0]);
      return Variant(n > 0 ? random_text(static_cast<size_t>(n)) : std::u16string());
    } catch (...) {
      return Variant(Str());
    }
  });
}

}  // namespace qz
