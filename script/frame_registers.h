// What every procedure frame needs: its registers (locals, and for compiled code its
// temporaries) and its turn as the engine's current frame.
#pragma once
#include <cstring>
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
    // All bytes zero is Empty; a fixed size is a few stores instead of a call.
    if (count <= 4) std::memset(at, 0, 4 * sizeof(Variant));
    else if (count <= 8) std::memset(at, 0, 8 * sizeof(Variant));
    else if (count <= 16) std::memset(at, 0, 16 * sizeof(Variant));
    else std::memset(at, 0, count * sizeof(Variant));
    data = reinterpret_cast<Variant*>(at);
  }
  FrameRegisters(const FrameRegisters&) = delete;
  FrameRegisters& operator=(const FrameRegisters&) = delete;
  ~FrameRegisters() {
    for (size_t i = n; i-- > 0;) data[i].~Variant();
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
