#include "runtime/helpers/pointer_helpers.h"

#include <unordered_set>

namespace qz {

namespace {

std::unordered_set<const Object*>& handed_out() {
  static auto* set = new std::unordered_set<const Object*>();
  return *set;
}

void forget(Object* obj) { handed_out().erase(obj); }

}  // namespace

int64_t object_address(Object* obj) {
  if (!obj) return 0;
  if (!obj->address_taken()) {
    Object::address_released = forget;
    handed_out().insert(obj);
    obj->mark_address_taken();
  }
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(obj));
}

Object* object_at_address(int64_t address) {
  auto* obj = reinterpret_cast<Object*>(static_cast<intptr_t>(address));
  if (!obj || !handed_out().count(obj)) return nullptr;
  // An object whose last reference went is being torn down (its terminate code may run):
  // handing it out again would bring it back from the dead.
  return obj->ref_count() > 0 ? obj : nullptr;
}

int64_t string_address(const Variant& v) {
  const Variant& s = v.deref();
  if (!s.is_string()) return 0;
  Str str = s.as_str();  // shares the caller's buffer
  if (str.byte_size() == 0) return 0;
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(str.data()));
}

int64_t variant_address(const Variant& v) {
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(&v));
}

}  // namespace qz
