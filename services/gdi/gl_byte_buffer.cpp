#include "services/gdi/gl_byte_buffer.h"

#include "com/error.h"

namespace qz {

void GlByteBuffer::rebuild(int32_t num0, int32_t num1, int32_t num2) {
  int kind = num1 == -1 ? 0 : num2 == -1 ? 1 : 2;
  int32_t b[3] = {num0, kind >= 1 ? num1 : 0, kind == 2 ? num2 : 0};
  uint64_t total = 1;
  for (int32_t v : b) {
    if (v < 0) raise(kErrSubscript);
    total *= static_cast<uint64_t>(v) + 1;
    if (total > kMaxBytes) raise(kErrOutOfMemory);
  }
  kind_ = kind;
  for (int i = 0; i < 3; ++i) bounds_[i] = b[i];
  bytes_.assign(static_cast<size_t>(total), 0);
  ++generation_;
}

int32_t GlByteBuffer::size_of(int32_t dimension) const {
  if (bytes_.empty()) raise(kErrSubscript);
  if (dimension >= 0 && dimension <= 2) return bounds_[dimension];
  if (dimension == -1)
    return static_cast<int32_t>((int64_t{bounds_[0]} + 1) * (int64_t{bounds_[1]} + 1) * (int64_t{bounds_[2]} + 1));
  return 0;
}

std::optional<size_t> GlByteBuffer::offset(int32_t num0, int32_t num1, int32_t num2) const {
  int kind = num1 == -1 ? 0 : num2 == -1 ? 1 : 2;
  if (bytes_.empty() || kind != kind_) return std::nullopt;
  int32_t idx[3] = {num0, kind >= 1 ? num1 : 0, kind == 2 ? num2 : 0};
  for (int i = 0; i < 3; ++i)
    if (idx[i] < 0 || idx[i] > bounds_[i]) return std::nullopt;
  size_t d0 = static_cast<size_t>(bounds_[0]) + 1, d1 = static_cast<size_t>(bounds_[1]) + 1;
  return static_cast<size_t>(idx[0]) + static_cast<size_t>(idx[1]) * d0 + static_cast<size_t>(idx[2]) * d0 * d1;
}

uint8_t GlByteBuffer::get(int32_t num0, int32_t num1, int32_t num2) const {
  auto at = offset(num0, num1, num2);
  return at ? bytes_[*at] : 0;
}

void GlByteBuffer::put(int32_t num0, int32_t num1, int32_t num2, uint8_t value) {
  if (auto at = offset(num0, num1, num2)) bytes_[*at] = value;
}

void GlByteBuffer::assign(std::vector<uint8_t> bytes) {
  if (bytes.size() != bytes_.size()) raise(kErrSubscript);
  bytes_ = std::move(bytes);
  ++generation_;
}

}  // namespace qz
