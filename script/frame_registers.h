// What every procedure frame needs: its registers (locals, and for compiled code its
// temporaries) and its turn as the engine's current frame.
#pragma once
#include <cstring>
#include <new>
#include <memory>

#include "com/variant.h"
#include "script/engine.h"

namespace qz::vbs {

// Registers, all Empty at first: the usual small procedure's on the machine stack, more on
// the heap. They go in reverse order, as an array's elements would.
struct FrameRegisters {
  alignas(Variant) unsigned char small[16 * sizeof(Variant)];
  std::unique_ptr<unsigned char[]> big;
  Variant* data;
  size_t n;
  explicit FrameRegisters(size_t count) : n(count) {
    unsigned char* at = small;
    if (count > 16) {
      big.reset(new unsigned char[count * sizeof(Variant)]);
      at = big.get();
    }
    data = reinterpret_cast<Variant*>(at);
    // All bytes zero is Empty. The usual small procedure's registers are cleared by a fixed
    // number of stores, which the compiler writes out in place; a fill of `count` registers
    // would become a block fill (rep stos, or a call), which costs more than the whole call.
    if (count <= 8) {
      // Eight 16-byte stores, written out: a memset here becomes rep stos.
      using Block = long long __attribute__((vector_size(16), may_alias, aligned(alignof(Variant))));
      static_assert(sizeof(Variant) == sizeof(Block));
      Block* b = reinterpret_cast<Block*>(small);
      const Block zero = {0, 0};
      b[0] = zero, b[1] = zero, b[2] = zero, b[3] = zero, b[4] = zero, b[5] = zero, b[6] = zero, b[7] = zero;
      return;
    }
    static constexpr unsigned char kEmpty[sizeof(Variant)] = {};
    for (size_t i = 0; i < count; ++i) {
      std::memcpy(static_cast<void*>(&data[i]), kEmpty, sizeof(Variant));
      asm volatile("" : "+r"(i));   // an index the compiler cannot see through: no block fill
    }
  }
  FrameRegisters(const FrameRegisters&) = delete;
  FrameRegisters& operator=(const FrameRegisters&) = delete;
  ~FrameRegisters() {
    if (n <= 8 && !holds_counted_values()) return;
    for (size_t i = n; i-- > 0;) data[i].~Variant();
  }

 private:
  // Whether any of the eight cleared registers may hold a string, object or array: every type
  // below String (numbers, Empty, Null) holds nothing to release, so one OR over the eight
  // types answers for the usual small procedure. (Each type is read as it was written, two
  // bytes: a wider read of a value stored a moment ago would wait for the store.)
  bool holds_counted_values() const {
    const Variant* r = reinterpret_cast<const Variant*>(small);
    uint32_t all = 0;
    for (int i = 0; i < 8; ++i) all |= static_cast<uint32_t>(r[i].type());
    return all >= static_cast<uint32_t>(VT::String);
  }
};

// The frame is the engine's current one (error positions, Execute, the caller chain) while
// this lives.
struct CurrentFrame {
  ScriptEngineImpl& e;
  Frame* saved;
  CurrentFrame(ScriptEngineImpl& e, Frame* f) : e(e), saved(e.current()) { e.set_current(f); }
  ~CurrentFrame() { e.set_current(saved); }
  CurrentFrame(const CurrentFrame&) = delete;
  CurrentFrame& operator=(const CurrentFrame&) = delete;
};

}  // namespace qz::vbs
