// The bytes of a request body in one block of whole pages of their own. A multipart body is
// turned into its parts' text front to back, and the pages already turned are given back to
// the system on the way, so the body and its text are never both held whole.
#pragma once
#include <cstddef>
#include <string_view>

namespace qz::cgi {

class BodyBuffer {
 public:
  BodyBuffer() = default;
  // Room for `capacity` bytes; pages cost memory only once bytes are written to them.
  explicit BodyBuffer(size_t capacity);
  ~BodyBuffer();
  BodyBuffer(BodyBuffer&& o) noexcept;
  BodyBuffer& operator=(BodyBuffer&& o) noexcept;
  BodyBuffer(const BodyBuffer&) = delete;
  BodyBuffer& operator=(const BodyBuffer&) = delete;

  // Adds bytes after those there, at most up to the capacity (the rest is dropped).
  void append(std::string_view bytes);
  std::string_view view() const { return {data_, size_}; }
  size_t size() const { return size_; }

  // The whole pages below `offset` go back to the system; their bytes must not be read again
  // (they read as zeros).
  void release_below(size_t offset);

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t mapped_ = 0;    // bytes mapped (the capacity rounded up to whole pages)
  size_t released_ = 0;  // bytes from the start already given back (whole pages)
};

}  // namespace qz::cgi
