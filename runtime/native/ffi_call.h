// Calls a native function with 64-bit argument words through libffi. One call interface per
// argument count, made once and kept: every argument and the result are 64-bit integers.
// libffi itself is opened on the first call; when it cannot be, the call raises error 53.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qz {

// Calls `fn` with `n` words; returns the whole 64-bit result register.
int64_t call_with_words(const void* fn, const int64_t* words, size_t n);

}  // namespace qz
