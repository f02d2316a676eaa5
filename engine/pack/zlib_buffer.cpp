#include "engine/pack/zlib_buffer.h"

#include <zlib.h>

namespace qz::pack {

int compress_in_place(std::string& buffer) {
  if (buffer.size() < 2) return Z_OK;
  uLongf capacity = compressBound(static_cast<uLong>(buffer.size()));
  std::string out(capacity, '\0');
  int rc = compress(reinterpret_cast<Bytef*>(out.data()), &capacity,
                    reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uLong>(buffer.size()));
  if (rc != Z_OK) return rc;
  out.resize(capacity);
  buffer.swap(out);
  return Z_OK;
}

int uncompress_in_place(std::string& buffer, uint32_t expected_length) {
  if (buffer.size() < 2) return Z_OK;
  uLongf capacity = static_cast<uLongf>(expected_length) + 1;
  std::string out(capacity, '\0');
  int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &capacity,
                      reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uLong>(buffer.size()));
  if (rc != Z_OK) return rc;
  out.resize(capacity);
  buffer.swap(out);
  return Z_OK;
}

}  // namespace qz::pack
