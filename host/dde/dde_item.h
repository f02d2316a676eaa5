// DDE item names of the host: the labels of the lblDDE array, written "lblDDE(n)" (any case,
// blanks allowed around the number); a bare "lblDDE" is element 0.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz::dde {

inline constexpr int16_t kMaxLabelIndex = 32767;

std::optional<int16_t> parse_item(std::string_view item);
std::string item_name(int16_t index);

}  // namespace qz::dde
