// sys.Registry: free access to keys and values by their full path (RegWrite, RegRead,
// RegDelete) and the per-user application settings (regSaveSetting, regGetSetting,
// regDeleteSetting), both kept in the file-backed store of registry_store.h.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_registry_object();
// The factory of sys.Registry.
Ref<Object> create_registry_service(EngineLink& engine);

}  // namespace qz
