#include "engine/pack/packed_script.h"

#include <zlib.h>

#include <stdexcept>

#include "engine/pack/key_stream.h"
#include "engine/pack/zlib_buffer.h"

namespace qz::pack {

namespace {

constexpr size_t kUncompressedLengthOffset = 7;
constexpr size_t kStoredLengthOffset = 11;
// A deflate stream cannot expand its input by more than this factor (plus a small constant),
// so a larger claimed length is a forged header.
constexpr uint64_t kMaxDeflateRatio = 1032;

uint32_t read_u32(std::string_view bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

void append_u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Checks the header against the buffer; on success gives L and n.
bool read_header(std::string_view bytes, uint32_t& length, uint32_t& stored, std::string& reason) {
  length = read_u32(bytes, kUncompressedLengthOffset);
  stored = read_u32(bytes, kStoredLengthOffset);
  if (stored > bytes.size() - kHeaderSize) {
    reason = "the header announces " + std::to_string(stored) + " stored bytes, but only " +
             std::to_string(bytes.size() - kHeaderSize) + " follow it";
    return false;
  }
  if (length > kMaxUnpackedLength) {
    reason = "the header announces an unpacked length of " + std::to_string(length) + " bytes";
    return false;
  }
  // Fewer than two stored bytes are the script itself (too short to compress).
  if (stored < 2 ? length != stored : length > stored * kMaxDeflateRatio + 64) {
    reason = "the unpacked length " + std::to_string(length) + " does not fit " +
             std::to_string(stored) + " stored bytes";
    return false;
  }
  return true;
}

}  // namespace

bool is_packed(std::string_view bytes) {
  return bytes.size() >= kHeaderSize && bytes.substr(0, 3) == "QZC" && bytes[3] != '\0';
}

std::string pack(std::string_view plain, EngineVersion version) {
  if (plain.size() > kMaxUnpackedLength)
    throw std::runtime_error("the script is too large to pack (" + std::to_string(plain.size()) + " bytes)");
  auto length = static_cast<uint32_t>(plain.size());
  std::string body(plain);
  int rc = compress_in_place(body);
  if (rc != Z_OK) throw std::runtime_error("zlib could not compress the script (error " + std::to_string(rc) + ")");
  scramble(body, length);

  std::string out;
  out.reserve(kHeaderSize + body.size());
  out += "QZC";
  out.push_back(static_cast<char>(kFormatVersion));
  out.push_back(static_cast<char>(version.major));
  out.push_back(static_cast<char>(version.minor));
  out.push_back(static_cast<char>(version.revision));
  append_u32(out, length);
  append_u32(out, static_cast<uint32_t>(body.size()));
  for (int i = 0; i < 3; ++i) append_u32(out, 0);
  out += body;
  return out;
}

UnpackStatus unpack_in_place(std::string& buffer, std::string& reason) {
  if (!is_packed(buffer)) return UnpackStatus::Plain;
  uint32_t length = 0, stored = 0;
  if (!read_header(buffer, length, stored, reason)) return UnpackStatus::Damaged;

  // Bytes after the stored stream are not part of the script.
  std::string body = buffer.substr(kHeaderSize, stored);
  scramble(body, length);
  int rc = uncompress_in_place(body, length);
  if (rc != Z_OK) {
    reason = "the compressed data cannot be read (zlib error " + std::to_string(rc) + ")";
    return UnpackStatus::Damaged;
  }
  if (body.size() != length) {
    reason = "the data unpack to " + std::to_string(body.size()) + " bytes, the header says " +
             std::to_string(length);
    return UnpackStatus::Damaged;
  }
  buffer.swap(body);
  return UnpackStatus::Unpacked;
}

std::optional<std::string> unpack(std::string_view bytes, std::string& reason) {
  std::string buffer(bytes);
  if (unpack_in_place(buffer, reason) == UnpackStatus::Damaged) return std::nullopt;
  return buffer;
}

}  // namespace qz::pack
