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
#include "script/script_control.h"

namespace qz {

// The script control that every form runs its procedures in (the engine's own); the provider
// is asked at each event. Without a provider, events run nothing.
void set_forms_script_control(std::function<ScriptControl*()> provider);
ScriptControl* forms_script_control();

// Runs `name` in module number `module`, each argument a by-reference cell to the caller's
// variable. Returns true when the procedure ran to its end; `result` then holds its value.
bool forward_event(int32_t module, std::u16string_view name, std::initializer_list<Variant*> args = {},
                   Variant* result = nullptr);

// A click of a control-array element: `<prefix><index>_Click` without arguments, then, whatever
// became of it, `<prefix>_Click` with the index.
void forward_click(int32_t module, std::u16string_view prefix, int16_t index);

// `<prefix><index>_<event>`.
std::u16string element_procedure(std::u16string_view prefix, int16_t index, std::u16string_view event);

}  // namespace qz
