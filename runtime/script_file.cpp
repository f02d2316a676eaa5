#include "runtime/script_file.h"

#include "runtime/helpers/sys_members.h"
#include "runtime/native/sys_native.h"
#include "runtime/sys_services.h"

namespace qz {

ScriptFile::ScriptFile(EngineLink& engine) : engine_(engine) {
  fields_.fill(Variant::nothing());
  // The timer table is not touched here: a sys object made in the middle of a run (to read
  // Path, say) must not stop the script's timers. The engine resets the table when a run starts.
  const RunLevelFlags& levels = engine.run_levels();
  for (const SysService& s : sys_services()) {
    if (s.guarded && levels[s.switch_off]) continue;
    if (!s.create) continue;
    try {
      Ref<Object> obj = s.create(engine);
      if (obj) set_field(s.field, Variant(obj));
    } catch (...) {
      // A service that cannot be made stays Nothing.
    }
  }
}

void ScriptFile::apply_run_levels(const RunLevelFlags& levels) {
  for (const SysService& s : sys_services())
    if (s.guarded && levels[s.switch_off]) set_field(s.field, Variant::nothing());
}

void ScriptFile::define(Members<ScriptFile>& m) {
  define_sys_root_members(m);
  define_sys_script_control_members(m);
  define_sys_timer_members(m);
  define_sys_process_members(m);
  define_sys_printing_members(m);
  define_sys_helper_members(m);
  define_sys_callback_members(m);
}

Variant get_member_or_empty(Object* obj, std::u16string_view name) {
  if (!obj) return {};
  try {
    return obj->get(name);
  } catch (...) {
    return {};
  }
}

}  // namespace qz
