#include "host/cgi/body_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace qz::cgi {

namespace {

size_t page_size() {
  static const size_t size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

BodyBuffer::BodyBuffer(size_t capacity) {
  if (capacity == 0) return;
  size_t page = page_size();
  if (capacity > SIZE_MAX - page) throw std::bad_alloc();
  size_t mapped = (capacity + page - 1) / page * page;
  // Reserved, not committed: a client that announces more than it sends costs nothing.
  void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  data_ = static_cast<char*>(p);
  capacity_ = capacity;
  mapped_ = mapped;
}

BodyBuffer::~BodyBuffer() {
  if (data_) ::munmap(data_, mapped_);
}

BodyBuffer::BodyBuffer(BodyBuffer&& o) noexcept
    : data_(std::exchange(o.data_, nullptr)), size_(std::exchange(o.size_, 0)),
      capacity_(std::exchange(o.capacity_, 0)), mapped_(std::exchange(o.mapped_, 0)),
      released_(std::exchange(o.released_, 0)) {}

BodyBuffer& BodyBuffer::operator=(BodyBuffer&& o) noexcept {
  if (this != &o) {
    BodyBuffer gone(std::move(*this));
    data_ = std::exchange(o.data_, nullptr);
    size_ = std::exchange(o.size_, 0);
    capacity_ = std::exchange(o.capacity_, 0);
    mapped_ = std::exchange(o.mapped_, 0);
    released_ = std::exchange(o.released_, 0);
  }
  return *this;
}

void BodyBuffer::append(std::string_view bytes) {
  size_t n = std::min(bytes.size(), capacity_ - size_);
  if (n == 0) return;
  std::memcpy(data_ + size_, bytes.data(), n);
  size_ += n;
}

void BodyBuffer::release_below(size_t offset) {
  size_t end = std::min(offset, mapped_) / page_size() * page_size();
  if (end <= released_) return;
  ::madvise(data_ + released_, end - released_, MADV_DONTNEED);
  released_ = end;
}

}  // namespace qz::cgi
