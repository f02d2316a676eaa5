// The 27 control kinds a script form carries one control array of: the kind name that Add and
// Remove take, the array's member name, the prefix of its event procedures, and the
// properties its controls answer to.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "com/variant.h"
#include "platform/window/window_system.h"

namespace qz {

struct ControlProperty {
  std::u16string_view name;
  VT type;
};

struct ControlKind {
  int number;                        // 1-based position in the table
  std::u16string_view kind_name;     // lower case, as Add compares it
  std::u16string_view array_name;    // the form's member: "Command", "CTimer"
  std::u16string_view event_prefix;  // "Command", "cTimer"; empty: forwards no events
  std::u16string_view type_name;     // TypeName of a control
  bool shown_by_add;                 // false for the controls without a visible appearance
  std::u16string_view default_property;
  std::vector<ControlProperty> properties;  // kind-specific stored properties
  std::vector<WindowEventKind> forwarded;   // window events that run a script procedure
  bool forwards(WindowEventKind e) const;
};

const std::vector<ControlKind>& control_kinds();
// The kind for a kind name in any case; nullptr when the name is not one of them.
const ControlKind* find_control_kind(std::u16string_view kind_name);
// The event a change of property `name` raises on a control of this kind ("Change",
// "PathChange" ...); empty when none.
std::u16string_view change_event(const ControlKind& kind, std::u16string_view name);
// Design-time values of element 0 that every new element of the array starts with.
void control_design_values(const ControlKind& kind, std::vector<std::pair<std::u16string_view, Variant>>& out);

}  // namespace qz
