// The factory that sys calls to build its File property.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

// sys.File: record reads and writes go through a fresh sys.DynAPI object each time; Zip is the
// archive object, extracting next to the script when the script names no folder.
Ref<Object> create_file_service(EngineLink& engine);

}  // namespace qz
