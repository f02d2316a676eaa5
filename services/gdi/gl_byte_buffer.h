// The byte buffer of sys.GDI.OpenGL: zero-based bytes in one, two or three dimensions, the
// first index varying fastest. Element access outside the shape, or with another number of
// indices than the buffer has, finds nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qz {

class GlByteBuffer {
 public:
  // Larger buffers are refused (error 7): a script cannot make the process allocate without bound.
  static constexpr size_t kMaxBytes = size_t{1} << 28;

  // ReBuf: num1 -1 gives one dimension 0..num0, else num2 -1 two, else three; zero-filled.
  // Negative bounds raise 9.
  void rebuild(int32_t num0, int32_t num1, int32_t num2);
  // ClearBuf: the bytes go, the shape stays.
  void clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    ++generation_;
  }
  bool empty() const { return bytes_.empty(); }
  // sizeBuf: U0, U1, U2 for 0..2, the element count for -1, 0 otherwise; 9 when empty.
  int32_t size_of(int32_t dimension) const;
  // 0 = one dimension, 1 = two, 2 = three.
  int kind() const { return kind_; }

  // The offset of an element; nothing outside the buffer or with the wrong index count.
  std::optional<size_t> offset(int32_t num0, int32_t num1, int32_t num2) const;
  uint8_t get(int32_t num0, int32_t num1, int32_t num2) const;
  void put(int32_t num0, int32_t num1, int32_t num2, uint8_t value);

  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }
  size_t size() const { return bytes_.size(); }
  // Counts every replacement of the bytes, so handles to an older buffer are refused.
  uint64_t generation() const { return generation_; }
  // Takes bytes of exactly the shape's size (after rebuild).
  void assign(std::vector<uint8_t> bytes);
  const int32_t* bounds() const { return bounds_; }

 private:
  int kind_ = 0;
  int32_t bounds_[3] = {0, 0, 0};
  std::vector<uint8_t> bytes_;
  uint64_t generation_ = 0;
};

}  // namespace qz
