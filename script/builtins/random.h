// The script language's pseudo-random generator (Rnd, Randomize): a 24-bit linear
// congruential generator. The engine's packed-script key stream draws from the very same
// generator, so its sequence must never change.
#pragma once
#include <cstdint>

namespace qz {

class ScriptRandom {
 public:
  static constexpr uint32_t kInitialState = 0x50000;

  // Rnd() and Rnd(positive): advances and returns the new value in [0, 1).
  float next();
  // Rnd(0): the value drawn last (the current state).
  float last() const { return value(); }
  // Rnd(negative): the state becomes a function of v's single-precision bits alone, then one
  // value is drawn. Works for any v (0 and positive included) for callers outside Rnd.
  float reseed(float v);
  // Randomize number: mixes the upper half of the double's bits into the middle of the state,
  // keeping its low byte (so the same seed does not by itself repeat a sequence).
  void randomize(double seed);
  // Randomize without argument: seeds from the seconds since midnight (Timer).
  void randomize_from_clock();

  // Rnd with the language's argument rules: missing or > 0 next, 0 last, < 0 reseed.
  float rnd(float arg) { return arg > 0 ? next() : arg == 0 ? last() : reseed(arg); }

  uint32_t state() const { return state_; }
  void set_state(uint32_t s) { state_ = s & 0xFFFFFF; }

 private:
  float value() const { return static_cast<float>(state_) / 16777216.0f; }
  uint32_t state_ = kInitialState;
};

// The process-wide generator that Rnd, Randomize and the engine share.
ScriptRandom& script_random();

}  // namespace qz
