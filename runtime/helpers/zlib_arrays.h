// CompressZLib and DecompressZLib: zlib streams of script byte arrays. Both take any array of
// byte values and give back a zero-based array of Variants holding Bytes; a failure gives an
// empty array, never the input looking like a result.
#pragma once
#include "com/variant.h"

namespace qz {

Variant compress_byte_array(const Variant& array);
// `original_size` is the length the data had before compression; a stream that holds more
// fails, one that holds less gives what it holds.
Variant decompress_byte_array(const Variant& array, int64_t original_size);

}  // namespace qz
