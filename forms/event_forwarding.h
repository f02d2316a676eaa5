// Forwarding a form's or a control's event to a script procedure: the module is looked up by
// number in the engine's script control at every event (nothing cached), the procedure runs to
// its end inside the event with the event's arguments by reference, and no failure leaves the
// handler: a missing module or procedure runs nothing, an error inside the procedure has
// already gone through the control's error event.
#pragma once
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "com/variant.h"
#include "platform/window/window_system.h"
#include "script/script_control.h"

namespace qz {

class ScriptForm;

// The script control that every form runs its procedures in (the engine's own); the provider
// is asked at each event. Without a provider, events run nothing.
void set_forms_script_control(std::function<ScriptControl*()> provider);
ScriptControl* forms_script_control();

// Runs `name` in module number `module`, each argument a by-reference cell to the caller's
// variable. Returns true when the procedure ran to its end; `result` then holds its value.
bool forward_event(int32_t module, std::u16string_view name, std::initializer_list<Variant*> args = {},
                   Variant* result = nullptr);

// An event of a control-array element (index >= 0) or of a single control (index < 0, e.g.
// the tray icon): runs `<prefix><index>_<event>` with the arguments as the event table of `kind`
// passes them (by reference, as copies, or objects stored back after the run), then, for
// array-wide events (clicks, socket events), `<prefix>_<event>` with the index first. Hover
// events of kinds the form has switched off run nothing. Sets e.ran and e.result from the
// element's procedure.
void forward_window_event(ScriptForm& form, std::u16string_view kind, std::u16string_view prefix, int index,
                          WindowEvent& e);

// `<prefix><index>_<event>`.
std::u16string element_procedure(std::u16string_view prefix, int16_t index, std::u16string_view event);

}  // namespace qz
