// Script records (classes made from `Type` blocks) as packed native images in numbered byte
// buffers, and back. A record describes itself in `class_vars_all`: entries joined by "~", each
// "type*name*highest index*fixed length". Members follow in that order without any padding;
// numbers are little-endian. Element sizes: Byte 1, Integer 2, Boolean 2 (0 or -1), Long 4,
// Single 4, Double 8, Currency 8 (value * 10000), Date 8 (a Double serial), a fixed text of N
// characters N bytes of the ANSI page, a text by address 8 bytes (the address of the member's
// own UTF-16 characters), a nested record its own image copied in. A "var" member has no
// native form and takes no bytes. The object records its buffer in `class_vars_buf`.
#pragma once
#include <cstdint>
#include <vector>

#include "com/object.h"
#include "runtime/native/byte_buffers.h"

namespace qz {

class RecordMarshaller {
 public:
  RecordMarshaller(ByteBufferSet& buffers, uint32_t owner) : buffers_(buffers), owner_(owner) {}

  // True for an object that carries a record layout.
  static bool is_record(Object* obj);

  // The image of a record or of a Variant array of records (their images one after another in
  // one buffer). Returns the buffer number, or -1 when a buffer was needed and none was free:
  // then nothing is left taken. Empty text members become N (fixed) or 260 (by address)
  // characters of code 0, so native code has room to write.
  int build(const Variant& records);
  // Reads the images that the records' buffers hold back into their members.
  void read_back(const Variant& records);

 private:
  struct NoBuffer {};
  int build_own(Object* record);
  void append_record(Object* record, int buffer);
  size_t read_record(Object* record, size_t pos);
  ByteBufferSet& buffers_;
  uint32_t owner_;
  std::vector<int> taken_;
};

}  // namespace qz
