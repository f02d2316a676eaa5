// Whole buffers through zlib streams (compress / uncompress with the default level), for
// sys.CompressZLib / DecompressZLib and packed scripts.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

// The zlib stream of `bytes`; nullopt when zlib fails.
std::optional<std::string> zlib_compress(std::string_view bytes);
// The data of a zlib stream that holds at most `max_length` bytes; nullopt when the stream is
// damaged or holds more. No more than `max_length` bytes are ever allocated.
std::optional<std::string> zlib_uncompress(std::string_view stream, uint32_t max_length);

}  // namespace qz
