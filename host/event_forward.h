// How the host's event sources (DDE labels, the service control) reach script procedures: the
// host form runs the engine's FuncRun with a procedure name, a module number and the event's
// arguments, and hands back what the procedure returned (Empty when there is no engine or no
// such procedure).
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "com/variant.h"

namespace qz {

using EventForward = std::function<Variant(std::u16string_view procedure, int16_t module, std::vector<Variant>& args)>;

}  // namespace qz
