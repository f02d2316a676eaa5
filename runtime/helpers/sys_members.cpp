#include "runtime/helpers/sys_members.h"

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
  ResourceLookup lookup;
  lookup.resource = [&engine](int module, int id) { return engine.script_resource(module, id); };
  lookup.module_folder = [&engine](int module) {
    const ModuleEntry* entry = engine.script_module(module);
    return entry ? entry->folder : std::u16string();
  };
  return new_resource_object(std::move(lookup));
}

}  // namespace qz
