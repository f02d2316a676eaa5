// (temporary stand-in until the full tables land)
#include "platform/window/event_tables.h"

#include "com/convert.h"
#include "com/str.h"

namespace qz {

namespace {
using T = EventArgType;
using M = EventArgMode;
const std::vector<EventArgSpec> kMouse = {{u"Button", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref},
                                          {u"X", T::Float, M::Ref}, {u"Y", T::Float, M::Ref}};
const std::vector<EventArgSpec> kKey = {{u"KeyCode", T::Int16, M::Ref}, {u"Shift", T::Int16, M::Ref}};
const std::vector<EventTable>& tables() {
  static const std::vector<EventTable> t = {
      {u"Command", u"Command", {{u"Click", u"Click", {}, true}, {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}},
                                {u"MouseDown", u"MouseDown", kMouse}, {u"MouseUp", u"MouseUp", kMouse},
                                {u"MouseMove", u"MouseMove", kMouse}}},
      {u"Form", u"Form", {{u"Click", u"Click", {}}, {u"DblClick", u"DblClick", {}}, {u"Resize", u"Resize", {}},
                          {u"MouseDown", u"MouseDown", kMouse}, {u"MouseUp", u"MouseUp", kMouse},
                          {u"MouseMove", u"MouseMove", kMouse}, {u"KeyDown", u"KeyDown", kKey}, {u"KeyUp", u"KeyUp", kKey},
                          {u"KeyPress", u"KeyPress", {{u"KeyAscii", T::Int16, M::Ref}}}}},
  };
  return t;
}
}  // namespace

const EventTable* find_event_table(std::u16string_view kind) {
  for (const EventTable& t : tables())
    if (iequals(t.kind, kind)) return &t;
  return nullptr;
}

const EventSpec* find_event(const EventTable& t, std::u16string_view event) {
  for (const EventSpec& e : t.events)
    if (iequals(e.name, event)) return &e;
  return nullptr;
}

void coerce_event_args(const EventSpec& e, Variant* args, size_t count) {
  for (size_t i = 0; i < count && i < e.args.size(); ++i) {
    switch (e.args[i].type) {
      case T::Int16: args[i] = Variant(to_integer(args[i])); break;
      case T::Int32: args[i] = Variant(to_long(args[i])); break;
      case T::Float: args[i] = Variant(to_single(args[i])); break;
      case T::String: args[i] = Variant(to_str(args[i])); break;
      case T::Bool: args[i] = Variant(to_bool(args[i])); break;
      default: break;
    }
  }
}

}  // namespace qz
