#include "formats/zlib_buffer.h"

#include <zlib.h>

namespace qz {

std::optional<std::string> zlib_compress(std::string_view bytes) {
  uLongf capacity = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(capacity, '\0');
  int rc = compress(reinterpret_cast<Bytef*>(out.data()), &capacity, reinterpret_cast<const Bytef*>(bytes.data()),
                    static_cast<uLong>(bytes.size()));
  if (rc != Z_OK) return std::nullopt;
  out.resize(capacity);
  return out;
}

std::optional<std::string> zlib_uncompress(std::string_view stream, uint32_t max_length) {
  // One byte of room more than allowed tells a stream that holds more from one that fits.
  uLongf capacity = static_cast<uLongf>(max_length) + 1;
  std::string out(capacity, '\0');
  int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &capacity, reinterpret_cast<const Bytef*>(stream.data()),
                      static_cast<uLong>(stream.size()));
  if (rc != Z_OK || capacity > max_length) return std::nullopt;
  out.resize(capacity);
  return out;
}

}  // namespace qz
