// How sys builds each of its object properties: the run-level switch that leaves it out and
// the factory that makes it. The services of later subsystems plug in here.
#pragma once
#include <span>
#include <string_view>

#include "com/object.h"
#include "runtime/engine_link.h"
#include "runtime/script_file.h"

namespace qz {

struct SysService {
  SysField field;
  std::u16string_view name;
  bool guarded;                               // false: always built
  RunLevel switch_off;                        // when guarded: the switch that leaves it out
  Ref<Object> (*create)(EngineLink& engine);  // null: not available yet (stays Nothing)
};

// In construction order: DDE and NTS first (from the host), then the guarded ones.
std::span<const SysService> sys_services();

}  // namespace qz
