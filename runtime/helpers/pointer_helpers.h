// Addresses of script values for native calls (StrPtr, VarPtr, ObjPtr) and the way back from
// an object's address to the object. Addresses are 64-bit (LongLong). The way back is guarded:
// only addresses that object_address() handed out, of objects still alive, lead to an object.
#pragma once
#include <cstdint>

#include "com/object.h"

namespace qz {

// The address of the object (0 for Nothing); remembered until the object goes.
int64_t object_address(Object* obj);
// The object at an address that object_address() gave for an object still alive; null for
// any other number.
Object* object_at_address(int64_t address);

// The address of the first character of the string `v` holds (0 for the empty string or a
// value that is not a string).
int64_t string_address(const Variant& v);
// The address of the variable itself.
int64_t variant_address(const Variant& v);

}  // namespace qz
