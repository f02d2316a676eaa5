// String-table blocks (resource type 6): 16 entries, each a 16-bit count of UTF-16 units and the
// units, no terminator. String n lives in block n / 16 + 1 as entry n % 16.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qz::pe {

inline constexpr uint32_t kMaxStringNumber = 1048559;  // keeps the block name within 16 bits

using StringBlock = std::array<std::u16string, 16>;

// The entries of a block. Entries missing from a short block are empty; bytes past the 16th
// entry are ignored. Never fails: damage costs only the entries it touches.
StringBlock parse_string_block(std::string_view bytes);
std::string build_string_block(const StringBlock& block);

}  // namespace qz::pe
