// Little-endian fields at fixed offsets of a byte string. Callers check the offsets first; the
// getters read nothing past the end (0 there) so a missed check cannot read out of bounds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qz::pe {

inline uint32_t get_le(std::string_view b, size_t at, int width) {
  uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) {
    size_t p = at + static_cast<size_t>(i);
    v = (v << 8) | (p < b.size() && p >= at ? static_cast<unsigned char>(b[p]) : 0u);
  }
  return v;
}
inline uint16_t get16(std::string_view b, size_t at) { return static_cast<uint16_t>(get_le(b, at, 2)); }
inline uint32_t get32(std::string_view b, size_t at) { return get_le(b, at, 4); }

inline void put_le(std::string& b, size_t at, uint32_t v, int width) {
  for (int i = 0; i < width; ++i, v >>= 8)
    if (at + static_cast<size_t>(i) < b.size()) b[at + static_cast<size_t>(i)] = static_cast<char>(v & 0xFF);
}
inline void put16(std::string& b, size_t at, uint32_t v) { put_le(b, at, v, 2); }
inline void put32(std::string& b, size_t at, uint32_t v) { put_le(b, at, v, 4); }

inline void append16(std::string& b, uint32_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void append32(std::string& b, uint32_t v) {
  append16(b, v & 0xFFFF);
  append16(b, v >> 16);
}

// `n` rounded up to a multiple of `a` (a power of two).
inline uint64_t align_up(uint64_t n, uint64_t a) { return (n + a - 1) & ~(a - 1); }

}  // namespace qz::pe
