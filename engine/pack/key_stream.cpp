#include "engine/pack/key_stream.h"

#include <algorithm>
#include <cmath>

#include "script/builtins/random.h"

namespace qz::pack {

namespace {

// The seed byte folds the length's three low bytes together; lengths of 16 MiB and more
// contribute no high byte.
int seed_byte(uint32_t length) {
  uint32_t lo = length & 0xFF;
  uint32_t mid = (length >> 8) & 0xFF;
  uint32_t hi = length >> 16;
  if (hi >= 256) hi = 0;
  return static_cast<int>(lo ^ mid ^ hi);
}

}  // namespace

void scramble(std::string& bytes, uint32_t uncompressed_length) {
  size_t count = std::min(bytes.size(), kScrambledBytes);
  if (count == 0) return;
  // A private generator: unpacking an include in the middle of a run must not disturb the
  // sequence the script's own Rnd is drawing.
  ScriptRandom rng;
  int s = seed_byte(uncompressed_length);
  auto k = static_cast<int>(std::floor(static_cast<double>(rng.reseed(static_cast<float>(-s))) * 10000.0));
  rng.reseed(static_cast<float>(-k));
  for (size_t i = 0; i < count; ++i) {
    auto key = static_cast<unsigned>(std::floor(static_cast<double>(rng.next()) * 255.0));
    bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ key);
  }
}

}  // namespace qz::pack
