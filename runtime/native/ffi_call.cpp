#include "runtime/native/ffi_call.h"

#include <dlfcn.h>
#include <ffi.h>

#include <map>
#include <memory>
#include <vector>

#include "com/error.h"
#include "com/str.h"

namespace qz {

namespace {

// libffi, opened on the first native call: a run that makes none never maps it.
struct Ffi {
  decltype(&::ffi_prep_cif) prep_cif = nullptr;
  decltype(&::ffi_call) call = nullptr;
  ffi_type* sint64 = nullptr;
};

const Ffi& ffi() {
  static const Ffi* loaded = [] {
    void* lib = ::dlopen(QUAZEL_FFI_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return static_cast<Ffi*>(nullptr);
    auto* f = new Ffi;
    f->prep_cif = reinterpret_cast<decltype(f->prep_cif)>(::dlsym(lib, "ffi_prep_cif"));
    f->call = reinterpret_cast<decltype(f->call)>(::dlsym(lib, "ffi_call"));
    f->sint64 = static_cast<ffi_type*>(::dlsym(lib, "ffi_type_sint64"));
    return f;
  }();
  if (!loaded || !loaded->prep_cif || !loaded->call || !loaded->sint64)
    raise(kErrFileNotFound, u"Native calls need " + utf8_to_u16(QUAZEL_FFI_SONAME) + u", which cannot be loaded");
  return *loaded;
}

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
  const Ffi& f = ffi();
  auto shape = std::make_unique<CallShape>();
  shape->types.assign(n, f.sint64);
  if (f.prep_cif(&shape->cif, FFI_DEFAULT_ABI, static_cast<unsigned>(n), f.sint64,
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
  ffi().call(&cif, FFI_FN(const_cast<void*>(fn)), &result, n ? values.data() : nullptr);
  return static_cast<int64_t>(result);
}

}  // namespace qz
