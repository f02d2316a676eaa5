// The i386 call thunks of the dynamic caller, as bytes. Calls on this platform go through libffi;
// the thunks are kept because scripts and tools that inspect them expect these exact bytes, and
// they are built and checked, never run. All addresses are 32-bit (the thunks' own world).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qz {

// The thunk of a call with any number of 32-bit argument words, reached like a window
// procedure with four arguments: it drops those four, pushes the words (last first), calls the
// target and, for cdecl, pops the words again.
class CallStubBuilder {
 public:
  uint32_t target = 0;    // the function to call
  int32_t call_type = 0;  // > 0: the caller removes the arguments (cdecl)

  // A copy of the code buffer (the caller sizes it 6 * n + 51 bytes) and of the argument words
  // (word 0 is not pushed; words 1..n are the arguments in call order).
  void set_arrays(std::vector<uint8_t> code, std::vector<int32_t> words);
  // Writes the thunk into the code buffer, which lies at `base`, and returns the address of its
  // first instruction: the first 16-byte boundary strictly after `base`, the bytes before it
  // filled with int3. Raises error 9 when a write falls outside the buffer.
  uint32_t prepare_code(uint32_t base);
  const std::vector<uint8_t>& code() const { return code_; }

  // The first 16-byte-aligned address strictly after `address`.
  static uint32_t align_start(uint32_t address) { return address - address % 16 + 16; }

 private:
  void emit_byte(uint8_t b);
  void emit_long(uint32_t v);
  void emit_call(uint32_t target, uint32_t base);
  std::vector<uint8_t> code_;
  std::vector<int32_t> words_;
  size_t pos_ = 0;
};

// The 32-byte thunk of CallFunction2 at `block`: loops over `count` words that lie at
// `args_address` (pushing the last first), calls `target`, pops them for cdecl and returns
// with ret 16. Raises error 5 for a count outside 0..10.
std::vector<uint8_t> call2_thunk(uint32_t block, uint32_t args_address, int32_t count, uint32_t target,
                                 bool cdecl);

// The thunk of CallInterface at `block`: pushes the words (last first), then the interface
// pointer, calls `method` and returns with ret 16 (5 * n + 14 bytes, the last one 0).
std::vector<uint8_t> interface_thunk(uint32_t block, uint32_t interface_ptr, const std::vector<int32_t>& words,
                                     uint32_t method);

}  // namespace qz
