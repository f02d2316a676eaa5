// The key stream that scrambles the start of a packed script's compressed bytes. It depends on
// the script's uncompressed length alone and is drawn from the script language's own generator.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qz::pack {

// At most this many leading stored bytes are scrambled.
inline constexpr size_t kScrambledBytes = 5001;

// XORs bytes 0 .. min(size, kScrambledBytes) - 1 of `bytes` with the key stream of
// `uncompressed_length`. Scrambling and unscrambling are the same operation.
void scramble(std::string& bytes, uint32_t uncompressed_length);

}  // namespace qz::pack
