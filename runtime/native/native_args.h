// The argument words of one native call, made from script values, and what goes back to the
// script after the call.
//   Empty, Boolean, Byte, Integer, Long, LongLong  the number, sign-extended (True is -1)
//   Single, Double, Currency, Date                 rounded to a 64-bit integer (error 6 when out of range)
//   String                                         the address of a NUL-terminated ANSI copy; what the
//                                                  function wrote there comes back as text
//   Byte array                                     the address of the caller's bytes
//   record (Type) object                           the address of its image; read back after the call
//   other object                                   its address (COM-compatible layout); Nothing is 0
//   Null                                           error 94; any other array: error 13
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "com/variant.h"
#include "runtime/native/byte_buffers.h"

namespace qz {

class NativeArguments {
 public:
  NativeArguments(ByteBufferSet& buffers, uint32_t owner) : buffers_(buffers), owner_(owner) {}

  // Adds the word for `slot` (the caller's variable, or the value passed). Raises a script error
  // for a value that cannot be a word; false when a record needs a buffer and none is free.
  bool add(Variant& slot);
  const std::vector<int64_t>& words() const { return words_; }
  // After the call: texts the function changed go back into the callers' variables as text,
  // record images back into the records' members.
  void finish();

 private:
  struct Text {
    Variant* slot;
    std::string original;  // the ANSI bytes as passed
    std::vector<char> bytes;  // what the function sees (NUL-terminated)
  };
  ByteBufferSet& buffers_;
  uint32_t owner_;
  std::vector<int64_t> words_;
  std::vector<std::unique_ptr<Text>> texts_;
  std::vector<Variant*> records_;
};

// The word for a plain value (no text, array or object); raises as described above.
int64_t word_of(const Variant& value);

}  // namespace qz
