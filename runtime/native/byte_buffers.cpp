#include "runtime/native/byte_buffers.h"

namespace qz {

ByteBufferSet::ByteBufferSet() = default;

void ByteBufferSet::make_buffers() const {
  if (!buffers_.empty()) return;
  buffers_.resize(kCount);
  for (ByteBuffer& b : buffers_) b.data.assign(1, 0);
}

ByteBuffer* ByteBufferSet::at(int n) {
  if (n < 0 || n >= kCount) return nullptr;
  make_buffers();
  return &buffers_[static_cast<size_t>(n)];
}

const ByteBuffer* ByteBufferSet::at(int n) const {
  if (n < 0 || n >= kCount) return nullptr;
  make_buffers();
  return &buffers_[static_cast<size_t>(n)];
}

int ByteBufferSet::find_free(int start) const {
  if (buffers_.empty()) return start < 0 ? 0 : start < kCount ? start : -1;   // none in use yet
  for (int n = start < 0 ? 0 : start; n < kCount; ++n)
    if (!buffers_[static_cast<size_t>(n)].in_use) return n;
  return -1;
}

int ByteBufferSet::take_for_image(uint32_t owner) {
  make_buffers();
  for (int n = 0; n < kCount; ++n) {
    ByteBuffer& b = buffers_[static_cast<size_t>(n)];
    if (b.in_use || b.script_filled) continue;
    b.in_use = true;
    b.temporary = true;
    b.owner = owner;
    b.data.assign(1, 0);
    return n;
  }
  return -1;
}

void ByteBufferSet::release(int n) {
  ByteBuffer* b = at(n);
  if (!b) return;
  b->in_use = false;
  b->temporary = false;
  b->owner = 0;
  std::vector<uint8_t>().swap(b->data);
}

void ByteBufferSet::release_temporaries(const std::function<bool(uint32_t)>& which) {
  if (buffers_.empty()) return;   // none taken yet
  for (int n = 0; n < kCount; ++n) {
    const ByteBuffer& b = buffers_[static_cast<size_t>(n)];
    if (b.temporary && which(b.owner)) release(n);
  }
}

}  // namespace qz
