// The process-wide ProgID registry behind CreateObject.
#include "com/progid.h"

#include <string>
#include <unordered_map>

#include "com/error.h"

namespace qz {

namespace {

// Keyed by the lower-cased ProgID. Built on first use so registrations from static
// initialisers in other files work.
std::unordered_map<std::u16string, ObjectFactory>& registry() {
  static auto* table = new std::unordered_map<std::u16string, ObjectFactory>();
  return *table;
}

}  // namespace

void register_progid(std::u16string_view progid, ObjectFactory factory) {
  if (factory) registry()[lower(progid)] = std::move(factory);
  else registry().erase(lower(progid));
}

bool progid_registered(std::u16string_view progid) { return registry().count(lower(progid)) != 0; }

Ref<Object> create_object(std::u16string_view progid) {
  auto it = registry().find(lower(progid));
  if (it == registry().end()) raise(kErrCantCreate);
  // Copied so a factory that registers further ProgIDs cannot invalidate what is running.
  ObjectFactory factory = it->second;
  Ref<Object> obj = factory();
  if (!obj) raise(kErrCantCreate);
  return obj;
}

}  // namespace qz
