#include "runtime/helpers/zlib_arrays.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/byte_buffer.h"
#include "formats/zlib_buffer.h"

namespace qz {

namespace {

Variant empty_array() { return Variant::from_vector({}); }

// deflate never expands data by more than about 1032 to 1, so no more room than that is
// ever needed, whatever size a script announces.
constexpr int64_t kMaxExpansion = 1032;

}  // namespace

Variant compress_byte_array(const Variant& array) {
  std::optional<std::string> packed = zlib_compress(bytes_of_array(array));
  return packed ? variant_byte_array(*packed) : empty_array();
}

Variant decompress_byte_array(const Variant& array, int64_t original_size) {
  std::string bytes = bytes_of_array(array);
  if (original_size < 0 || original_size > UINT32_MAX - 1) return empty_array();
  int64_t room = std::min<int64_t>(original_size, static_cast<int64_t>(bytes.size()) * kMaxExpansion + 64);
  std::optional<std::string> data = zlib_uncompress(bytes, static_cast<uint32_t>(room));
  return data ? variant_byte_array(*data) : empty_array();
}

}  // namespace qz
