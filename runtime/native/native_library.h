// Shared libraries for native calls: loading by name (RTLD_NOW | RTLD_LOCAL; a name without an
// extension also tries "name.so" and "libname.so"), counted references, symbol lookup, and the
// checks that keep a number a script passes as a handle or an address from crashing the process.
#pragma once
#include <cstdint>
#include <string_view>

namespace qz {

// Loads the library and takes one reference to it; null when it cannot be loaded.
void* open_native_library(std::u16string_view name);
// Gives back one reference taken by open_native_library.
void close_native_library(void* handle);
// References taken through open_native_library and not given back (0 for an unknown handle).
int native_library_references(void* handle);

// True when `handle` is a library handle of this process: one open_native_library gave out,
// or any library already loaded into the program's namespace.
bool valid_library_handle(void* handle);
// The address of an exported symbol; null when absent or the handle is not valid.
void* find_native_symbol(void* handle, std::u16string_view name);

// True when `address` lies in the code of a library or program loaded in this process.
bool is_code_address(const void* address);
// Reads `n` bytes at `address` into `out` without faulting; false when they are not readable.
bool read_memory(uintptr_t address, void* out, size_t n);

}  // namespace qz
