// The events each kind of window forwards to script procedures, as data: for every event its
// name, the procedure's suffix, its arguments in order with their types and how they are handed
// over (by reference, stored back after the run, or as a copy), whether it also runs the
// array-wide procedure with the index first, and whether the procedure's result is used.
// One forwarding routine (forms/event_forwarding) reads these tables.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "com/variant.h"

namespace qz {

enum class EventArgType : uint8_t { Int16, Int32, Float, String, Bool, Object, Variant };
// Ref: the procedure changes the event's own argument; Back: an object held in a temporary goes
// back to the event after a run that succeeded; Copy: the procedure gets a copy.
enum class EventArgMode : uint8_t { Ref, Back, Copy };
struct EventArgSpec {
  std::u16string_view name;
  EventArgType type;
  EventArgMode mode;
};
struct EventSpec {
  std::u16string_view name;       // the toolkit's event name
  std::u16string_view procedure;  // the procedure's suffix after "<prefix><index>_"
  std::vector<EventArgSpec> args;
  bool array_wide = false;        // then also "<prefix>_<suffix>" with the index first
  bool takes_result = false;      // the procedure's result is the event's answer
};
struct EventTable {
  std::u16string_view kind;    // the form's array name, "Form" or "Tray"
  std::u16string_view prefix;  // of the procedure names
  std::vector<EventSpec> events;
};

// Case-insensitive; nullptr for a kind that forwards nothing (CShape, CLine, PicClip).
const EventTable* find_event_table(std::u16string_view kind);
const EventSpec* find_event(const EventTable& t, std::u16string_view event);
// Converts raw values to the argument types of the event, so a toolkit may raise an event with
// plain numbers (the conversions of the script language; a value that does not convert stays).
void coerce_event_args(const EventSpec& e, Variant* args, size_t count);

}  // namespace qz
