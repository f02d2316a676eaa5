// A multipart body held once its parts' data became text: the bytes between the parts' data as
// they came, and each part's data as the very text the script's entries hold (one buffer, not
// a copy). The body's own bytes need not be kept: its whole text and its bytes are made again
// from the pieces when they are asked for.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "com/str.h"

namespace qz::cgi {

struct SplitBody {
  int codepage = 0;  // the page the body is read through
  std::vector<std::variant<std::string, Str>> pieces;  // in body order

  // The whole body as text: what decoding all its bytes at once through the page gives.
  Str text() const;
  // The body's bytes (a single-byte page's table is lossless, so they are the bytes read).
  std::string bytes() const;
};

// Walks a body front to back, keeping bytes or making text of them, and tells `release` the
// offset below which the body will not be read again, so its memory can go as the text grows.
// Offsets passed in must not go backwards and must lie within the body.
class BodySplitter {
 public:
  BodySplitter(std::string_view body, int codepage, std::function<void(size_t)> release);
  // The bytes from where the walk is up to `end` are kept as they are.
  void keep_bytes_until(size_t end);
  // The bytes from where the walk is up to `end` as text, which is kept as a piece too. Only a
  // single-byte page decodes piece by piece like the whole; under any other the bytes are kept.
  Str text_until(size_t end);
  // The rest of the body is kept as bytes.
  SplitBody finish() &&;

 private:
  void advance_to(size_t end, const std::function<void(std::string_view)>& take);

  std::string_view body_;
  std::function<void(size_t)> release_;
  size_t pos_ = 0;
  SplitBody out_;
};

}  // namespace qz::cgi
