// (temporary stand-in until the full tables land)
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "com/variant.h"

namespace qz {

enum class EventArgType : uint8_t { Int16, Int32, Float, String, Bool, Object, Variant };
enum class EventArgMode : uint8_t { Ref, Back, Copy };
struct EventArgSpec { std::u16string_view name; EventArgType type; EventArgMode mode; };
struct EventSpec {
  std::u16string_view name;
  std::u16string_view procedure;
  std::vector<EventArgSpec> args;
  bool array_wide = false;
  bool takes_result = false;
};
struct EventTable { std::u16string_view kind; std::u16string_view prefix; std::vector<EventSpec> events; };
const EventTable* find_event_table(std::u16string_view kind);
const EventSpec* find_event(const EventTable& t, std::u16string_view event);
void coerce_event_args(const EventSpec& e, Variant* args, size_t count);

}  // namespace qz
