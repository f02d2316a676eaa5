#include "engine/make/carried_engine.h"

#include <string.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "engine/make/standalone_layout.h"

namespace qz::standalone {

namespace {

void put_le(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint64_t get_le(std::string_view in, size_t at, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint64_t{static_cast<unsigned char>(in[at + i])} << (8 * i);
  return v;
}

// zlib's CRC-32 over any length (its length parameter is narrower than a size_t).
uint32_t crc_of(std::string_view bytes) {
  uLong crc = ::crc32(0L, Z_NULL, 0);
  for (size_t at = 0; at < bytes.size();) {
    uInt n = static_cast<uInt>(std::min<size_t>(bytes.size() - at, 1u << 30));
    crc = ::crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + at), n);
    at += n;
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace

std::string carried_engine_block(std::string_view library) {
  if (library.size() > kMaxEngineLength) throw std::length_error("the engine library is too large to carry");
  uLongf stored = ::compressBound(static_cast<uLong>(library.size()));
  std::string packed(stored, '\0');
  if (::compress2(reinterpret_cast<Bytef*>(packed.data()), &stored, reinterpret_cast<const Bytef*>(library.data()),
                  static_cast<uLong>(library.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("the engine library cannot be compressed");
  packed.resize(stored);

  std::string block = engine_marker();
  put_le(block, kEngineBlockFormat, 4);
  put_le(block, library.size(), 8);
  put_le(block, packed.size(), 8);
  put_le(block, crc_of(library), 4);
  block += packed;
  return block;
}

EmbeddedParts split_embedded(std::string_view after_end_marker) {
  const std::string marker = engine_marker();
  EmbeddedParts parts{after_end_marker, std::nullopt};
  const void* at = ::memmem(after_end_marker.data(), after_end_marker.size(), marker.data(), marker.size());
  if (at) {
    size_t cut = static_cast<size_t>(static_cast<const char*>(at) - after_end_marker.data());
    parts.script = after_end_marker.substr(0, cut);
    parts.engine_block = after_end_marker.substr(cut);
  }
  return parts;
}

std::optional<std::string> unpack_engine_block(std::string_view block, std::string& error) {
  if (block.size() < kEngineHeaderSize) {
    error = "its header is cut short";
    return std::nullopt;
  }
  if (block.substr(0, kMarkerSize) != engine_marker()) {
    error = "it does not start with the engine marker";
    return std::nullopt;
  }
  const uint64_t format = get_le(block, 12, 4);
  const uint64_t length = get_le(block, 16, 8);
  const uint64_t stored = get_le(block, 24, 8);
  const uint32_t crc = static_cast<uint32_t>(get_le(block, 32, 4));
  if (format != kEngineBlockFormat) {
    error = "its format " + std::to_string(format) + " is unknown";
    return std::nullopt;
  }
  const uint64_t present = block.size() - kEngineHeaderSize;
  if (stored != present) {
    error = std::to_string(stored) + " stored bytes expected, " + std::to_string(present) + " found";
    return std::nullopt;
  }
  if (length == 0 || length > kMaxEngineLength) {
    error = "its length " + std::to_string(length) + " is impossible";
    return std::nullopt;
  }
  std::string library(static_cast<size_t>(length), '\0');
  uLongf produced = static_cast<uLongf>(length);
  int rc = ::uncompress(reinterpret_cast<Bytef*>(library.data()), &produced,
                        reinterpret_cast<const Bytef*>(block.data() + kEngineHeaderSize), static_cast<uLong>(stored));
  if (rc != Z_OK || produced != length) {
    error = "its compressed bytes are damaged";
    return std::nullopt;
  }
  if (crc_of(library) != crc) {
    error = "its CRC does not match";
    return std::nullopt;
  }
  return library;
}

}  // namespace qz::standalone
