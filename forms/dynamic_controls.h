// Controls that a script creates by ProgID on a form (CreateControl), as far as the built-in
// kinds go: the ProgIDs they answer to, the process-wide key counter ("dynctrl_1", ...), the
// licence keys of AddLicense, and the forwarding of such a control's events to
// `<name>_<Event>` (the event's values as copies), or, for a control created without a name,
// to `Control_Event` with an event-information object whose parameter values the procedure
// may change.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/window_system.h"

namespace qz {

// The form's array name of the built-in kind a ProgID names (any case); empty when none.
std::u16string_view builtin_kind_of_progid(std::u16string_view progid);
// The next control key; raises 6 (Overflow) once the counter is at its end.
std::u16string next_dynamic_control_key();
// AddLicense: keeps the key for the class.
void add_control_license(std::u16string_view progid, std::u16string_view key);
// The listener that runs a created control's procedures in module `module`.
WindowListener dynamic_control_listener(int32_t module, std::u16string name);

}  // namespace qz
