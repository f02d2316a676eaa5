// Entry data: raw deflate streams (no zlib header or trailer), as archives store them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

// The raw deflate stream of `bytes` at the default level. Empty input gives the two bytes
// 0x03 0x00 (one empty final block).
std::string deflate_raw(std::string_view bytes);

// Inflates a raw deflate stream into at most `expected` bytes: what the stream yields up to
// that size, even when the stream is damaged or ends early. Memory grows with the output
// actually produced, never with a size a header claims.
std::string inflate_raw(std::string_view stream, uint32_t expected);

}  // namespace qz
