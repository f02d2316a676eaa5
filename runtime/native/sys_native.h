// What the sys root gets from the native call bridge: the sys.DynAPI object and sys.CallBack.
#pragma once
#include "com/object.h"
#include "runtime/engine_link.h"

namespace qz {

class ScriptFile;

// The factory of sys.DynAPI (a new clsFuncCall).
Ref<Object> create_dynapi_service(EngineLink& engine);
// sys.CallBack(name, module): the address of the native entry point bound to that function.
void define_sys_callback_members(Members<ScriptFile>& m);

}  // namespace qz
