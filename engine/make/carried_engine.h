// The engine library a standalone program carries behind its script, so that it runs where
// Quazel is not installed. The block starts with the engine marker (standalone_layout.h); all
// integers are little-endian:
//
//   offset  size  field
//        0    12  engine marker Chr(0) "-$engine$-" Chr(0)
//       12     4  format, 1
//       16     8  library length L
//       24     8  stored length n
//       32     4  CRC-32 of the L library bytes
//       36     n  the library as one zlib stream
//
// Nothing follows. The bytes come from a file that anyone may have cut or changed, so every
// length is checked against what is really there before anything is read or allocated, and the
// library is handed out only when it inflates to exactly L bytes with the right CRC.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz::standalone {

inline constexpr size_t kEngineHeaderSize = 36;
inline constexpr uint32_t kEngineBlockFormat = 1;
// No engine library comes near this; a larger length is damage, not a library.
inline constexpr uint64_t kMaxEngineLength = uint64_t{1} << 30;

// The block for `library` (header and compressed bytes).
std::string carried_engine_block(std::string_view library);

// What follows the end marker: the script, and the engine block when there is one.
struct EmbeddedParts {
  std::string_view script;
  std::optional<std::string_view> engine_block;  // from the engine marker to the end
};
EmbeddedParts split_embedded(std::string_view after_end_marker);

// The library bytes of a block, verified; nullopt, with `error` saying what is wrong, for a
// block that is cut short, too long, of another format or damaged.
std::optional<std::string> unpack_engine_block(std::string_view block, std::string& error);

}  // namespace qz::standalone
