// Whole-buffer zlib compression in place, with zlib's own return codes. Packed scripts and the
// script-level CompressZLib/DecompressZLib share these two operations.
#pragma once
#include <cstdint>
#include <string>

namespace qz::pack {

// Compresses `buffer` (zlib stream, default level) in place. A buffer of fewer than two bytes is
// left alone and 0 is returned. On any zlib error the buffer is unchanged.
int compress_in_place(std::string& buffer);

// Decompresses `buffer` in place, expecting `expected_length` bytes (room for one byte more is
// given, so a stream that is longer than announced shows up as Z_BUF_ERROR). A buffer of fewer
// than two bytes is left alone and 0 is returned. On any zlib error the buffer is unchanged.
int uncompress_in_place(std::string& buffer, uint32_t expected_length);

}  // namespace qz::pack
