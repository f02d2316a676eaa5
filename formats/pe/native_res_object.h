// sys.NativeRes: edits the resources of Windows executables and libraries held as files:
// raw resources, string-table entries, the main icon and the version block.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_nativeres_object();
// The factory sys uses for its NativeRes member.
Ref<Object> create_nativeres_service(EngineLink& engine);

}  // namespace qz
