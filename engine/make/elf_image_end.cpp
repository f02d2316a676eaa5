#include "engine/make/elf_image_end.h"

#include <cstdint>

namespace qz::standalone {

namespace {

uint64_t get(std::string_view b, size_t at, size_t n, bool little) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) {
    const auto byte = static_cast<uint8_t>(b[at + (little ? i : n - 1 - i)]);
    v |= static_cast<uint64_t>(byte) << (8 * i);
  }
  return v;
}

}  // namespace

std::optional<size_t> elf_image_end(std::string_view file) {
  if (file.size() < 52 || file.substr(0, 4) != "\x7f" "ELF") return std::nullopt;
  const auto cls = static_cast<uint8_t>(file[4]), data = static_cast<uint8_t>(file[5]);
  if ((cls != 1 && cls != 2) || (data != 1 && data != 2)) return std::nullopt;
  const bool wide = cls == 2, little = data == 1;
  if (wide && file.size() < 64) return std::nullopt;
  // e_shoff, e_shentsize and e_shnum sit at fixed offsets for each class.
  const uint64_t shoff = wide ? get(file, 0x28, 8, little) : get(file, 0x20, 4, little);
  const uint64_t shentsize = get(file, wide ? 0x3A : 0x2E, 2, little);
  const uint64_t shnum = get(file, wide ? 0x3C : 0x30, 2, little);
  if (shoff == 0 || shnum == 0 || shoff > file.size()) return std::nullopt;
  const uint64_t table = shentsize * shnum;   // at most 65535 * 65535: no overflow
  if (table > file.size() - shoff) return std::nullopt;
  return static_cast<size_t>(shoff + table);
}

}  // namespace qz::standalone
