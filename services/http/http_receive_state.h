// What a reply has brought so far: the text before the first blank line (header), the text
// after it (body), the Content-Length the header names, and whether the reply counts as
// complete. Chunks arrive as text, one character a byte. The header says where the body ends:
// after Content-Length characters, at the last chunk of a chunked body, at once for a status
// that has no body (1xx, 204, 304), and otherwise when the server closes the connection.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

// A header that has not ended after this many characters is taken as it is.
constexpr size_t kMaxHeaderChars = 1 << 20;
// A body stops growing here (the reply counts as complete).
constexpr size_t kMaxBodyChars = size_t{64} << 20;

class HttpReceiveState {
 public:
  // Everything but the maximum size goes back to its start.
  void reset();
  // A chunk of the reply as it arrived.
  void add_chunk(std::u16string_view chunk);
  // No more can arrive, or the silence time-out passed: the reply is complete with what it
  // has; text without a blank line becomes the header.
  void finish();

  bool done() const { return done_; }
  const std::u16string& header() const { return header_; }
  const std::u16string& body() const { return body_; }
  int32_t content_length() const { return content_length_; }
  int32_t max_size() const { return max_size_; }
  void set_max_size(int32_t n) { max_size_ = n; }

 private:
  enum class BodyEnd { Length, Chunked, Close, Nothing };
  void check_complete();
  bool chunked_body_ended();

  bool done_ = false;
  BodyEnd body_end_ = BodyEnd::Close;
  size_t next_chunk_ = 0;  // where the next chunk's size line of a chunked body starts
  std::u16string header_, body_;
  std::u16string head_so_far_;  // a header still waiting for its blank line
  int32_t content_length_ = 0;
  int32_t max_size_ = 0;
};

// The value of the first header line of that name (any case, without the colon), blanks
// before it dropped; nullopt when there is none.
std::optional<std::u16string_view> header_field(std::u16string_view header, std::u16string_view name);

// The number of the first "Content-Length:" line of a header (name in any case, blanks
// before the digits); 0 when there is none or it does not fit in 32 bits.
int32_t parse_content_length(std::u16string_view header);

}  // namespace qz
