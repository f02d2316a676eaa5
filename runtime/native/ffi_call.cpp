#include "runtime/native/ffi_call.h"

#include <ffi.h>

#include <map>
#include <memory>
#include <vector>

#include "com/error.h"

namespace qz {

namespace {

struct CallShape {
  ffi_cif cif;
  std::vector<ffi_type*> types;
};

// Kept for the life of the process; a shape's address stays fixed, so a call that a callback
// interrupts keeps using its own while the nested call adds another.
ffi_cif& shape_for(size_t n) {
  static auto* shapes = new std::map<size_t, std::unique_ptr<CallShape>>();
  auto it = shapes->find(n);
  if (it != shapes->end()) return it->second->cif;
  auto shape = std::make_unique<CallShape>();
  shape->types.assign(n, &ffi_type_sint64);
  if (ffi_prep_cif(&shape->cif, FFI_DEFAULT_ABI, static_cast<unsigned>(n), &ffi_type_sint64,
                   n ? shape->types.data() : nullptr) != FFI_OK)
    raise(kErrIllegalCall);
  ffi_cif& cif = shape->cif;
  shapes->emplace(n, std::move(shape));
  return cif;
}

}  // namespace

int64_t call_with_words(const void* fn, const int64_t* words, size_t n) {
  ffi_cif& cif = shape_for(n);
  std::vector<void*> values(n);
  for (size_t i = 0; i < n; ++i) values[i] = const_cast<int64_t*>(&words[i]);
  ffi_arg result = 0;  // a full register: wide enough for the 64-bit result
  ffi_call(&cif, FFI_FN(const_cast<void*>(fn)), &result, n ? values.data() : nullptr);
  return static_cast<int64_t>(result);
}

}  // namespace qz
