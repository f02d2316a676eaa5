#include "formats/zip/zip_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>

namespace qz {

namespace {
constexpr int kRawWindowBits = -15;  // negative: no zlib header or trailer
constexpr size_t kStep = 1 << 20;    // zlib takes 32-bit lengths; go in steps well below that
}  // namespace

std::string deflate_raw(std::string_view bytes) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::bad_alloc();
  std::string out;
  size_t in_pos = 0;
  int rc = Z_OK;
  do {
    size_t in_now = std::min(kStep, bytes.size() - in_pos);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + in_pos));
    z.avail_in = static_cast<uInt>(in_now);
    in_pos += in_now;
    int flush = in_pos == bytes.size() ? Z_FINISH : Z_NO_FLUSH;
    do {
      size_t old = out.size();
      out.resize(old + kStep);
      z.next_out = reinterpret_cast<Bytef*>(out.data() + old);
      z.avail_out = static_cast<uInt>(kStep);
      rc = deflate(&z, flush);
      out.resize(old + (kStep - z.avail_out));
    } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  } while (rc != Z_STREAM_END);
  deflateEnd(&z);
  return out;
}

std::string inflate_raw(std::string_view stream, uint32_t expected) {
  std::string out;
  if (expected == 0) return out;
  z_stream z{};
  if (inflateInit2(&z, kRawWindowBits) != Z_OK) throw std::bad_alloc();
  size_t in_pos = 0;
  for (;;) {
    if (z.avail_in == 0 && in_pos < stream.size()) {
      size_t in_now = std::min(kStep, stream.size() - in_pos);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data() + in_pos));
      z.avail_in = static_cast<uInt>(in_now);
      in_pos += in_now;
    }
    size_t room = std::min<size_t>(kStep, expected - out.size());
    size_t old = out.size();
    out.resize(old + room);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + old);
    z.avail_out = static_cast<uInt>(room);
    int rc = inflate(&z, Z_NO_FLUSH);
    out.resize(old + (room - z.avail_out));
    if (rc == Z_STREAM_END || out.size() == expected) break;
    if (rc != Z_OK) break;                                    // damaged: keep what came out
    if (z.avail_in == 0 && in_pos == stream.size() && z.avail_out != 0) break;  // input ran out
  }
  inflateEnd(&z);
  return out;
}

}  // namespace qz
