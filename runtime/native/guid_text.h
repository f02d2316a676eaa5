// Interface identifiers written as registry text: "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qz {

// The 16 bytes of the identifier in memory order (first three groups little-endian, the
// rest as written); nothing when the text is not exactly that form.
std::optional<std::array<uint8_t, 16>> parse_guid_text(std::u16string_view text);

}  // namespace qz
