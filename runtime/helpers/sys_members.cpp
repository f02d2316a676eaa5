#include "runtime/helpers/sys_members.h"

#include "runtime/helpers/engine_tables.h"
#include "runtime/script_file.h"
#include "services/resource/resource_object.h"

namespace qz {

void define_sys_helper_members(Members<ScriptFile>& m) {
  define_sys_regexp_members(m);
  define_sys_value_members(m);
  define_sys_string_members(m);
  define_sys_system_members(m);
}

Ref<Object> create_resource_service(EngineLink& engine) {
  const TranslatorState* tables = engine_tables(engine);
  return tables ? new_resource_object(*tables) : Ref<Object>();
}

}  // namespace qz
