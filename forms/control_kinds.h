// The 27 control kinds a script form carries one control array of: the kind name that Add and
// Remove take, the array's member name (also the toolkit's kind name), the prefix of its event
// procedures, and whether Add shows a new element. What each kind answers to and which events
// it raises belong to the window system's adapters and event tables.
#pragma once
#include <string_view>
#include <vector>

namespace qz {

struct ControlKind {
  int number;                        // 1-based position in the table
  std::u16string_view kind_name;     // lower case, as Add compares it
  std::u16string_view array_name;    // the form's member: "Command", "CTimer"
  std::u16string_view event_prefix;  // "Command", "cTimer"; empty: forwards no events
  bool shown_by_add;                 // false for the controls without a visible appearance
};

const std::vector<ControlKind>& control_kinds();
// The kind for a kind name in any case; nullptr when the name is not one of them.
const ControlKind* find_control_kind(std::u16string_view kind_name);

}  // namespace qz
