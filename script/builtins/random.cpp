#include "script/builtins/random.h"

#include <cstring>

#include "script/builtins/date_math.h"

namespace qz {

namespace {
constexpr uint32_t kMultiplier = 0x43FD43FD;
constexpr uint32_t kIncrement = 0xC39EC3;
}  // namespace

float ScriptRandom::next() {
  state_ = (state_ * kMultiplier + kIncrement) & 0xFFFFFF;
  return value();
}

float ScriptRandom::reseed(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  state_ = (bits + (bits >> 24)) & 0xFFFFFF;
  return next();
}

void ScriptRandom::randomize(double seed) {
  uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  uint32_t hi = static_cast<uint32_t>(bits >> 32);
  uint32_t mixed = (hi ^ (hi >> 16)) & 0xFFFF;
  state_ = (state_ & 0xFF) | (mixed << 8);
}

void ScriptRandom::randomize_from_clock() { randomize(builtins::seconds_since_midnight()); }

ScriptRandom& script_random() {
  static ScriptRandom instance;
  return instance;
}

}  // namespace qz
