#include "runtime/helpers/zlib_arrays.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

#include "engine/pack/zlib_buffer.h"
#include "formats/byte_buffer.h"

namespace qz {

namespace {

Variant empty_array() { return Variant::from_vector({}); }

// deflate never expands data by more than about 1032 to 1, so no more room than that is
// ever needed, whatever size a script announces.
constexpr int64_t kMaxExpansion = 1032;

}  // namespace

Variant compress_byte_array(const Variant& array) {
  std::string bytes = bytes_of_array(array);
  if (pack::compress_in_place(bytes) != Z_OK) return empty_array();
  return variant_byte_array(bytes);
}

Variant decompress_byte_array(const Variant& array, int64_t original_size) {
  std::string bytes = bytes_of_array(array);
  if (original_size < 0 || original_size > UINT32_MAX - 1) return empty_array();
  // Fewer than two bytes are what compression leaves as they are.
  if (bytes.size() < 2) return static_cast<int64_t>(bytes.size()) == original_size ? variant_byte_array(bytes) : empty_array();
  int64_t room = std::min<int64_t>(original_size, static_cast<int64_t>(bytes.size()) * kMaxExpansion + 64);
  if (pack::uncompress_in_place(bytes, static_cast<uint32_t>(room)) != Z_OK) return empty_array();
  // The zlib glue leaves room for one byte more than asked: a stream just that much longer
  // than announced must fail all the same.
  if (static_cast<int64_t>(bytes.size()) > original_size) return empty_array();
  return variant_byte_array(bytes);
}

}  // namespace qz
