// Cyrillic code-page pair tables: flat sequences of byte pairs (foreign code, Windows-1251 code),
// applied in stored order so that a later pair with the same key overrides an earlier one. The
// library carries three of them under the names "KOI8-R", "CP866" and "ISO" (looked up without
// regard to case); scripts may supply their own as a string of character pairs.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

// The built-in table of that name (any case), or nothing.
std::optional<std::string_view> builtin_pair_table(std::u16string_view name);

enum class PairDirection {
  FromWindows,  // Windows-1251 byte -> foreign byte (map[second] = first)
  ToWindows,    // foreign byte -> Windows-1251 byte (map[first] = second)
};

// The 256-byte map a table gives, starting from the identity; an unpaired last byte is ignored.
std::array<uint8_t, 256> pair_map(std::string_view table, PairDirection direction);

// Every byte replaced through the map.
std::string map_bytes(std::string_view bytes, const std::array<uint8_t, 256>& map);

}  // namespace qz
