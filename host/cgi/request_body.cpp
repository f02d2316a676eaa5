#include "host/cgi/request_body.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace qz::cgi {

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

// Leading decimal digits of `text` from `i`; `i` is left after them. False when there are none.
template <class CharT>
bool leading_number(std::basic_string_view<CharT> text, size_t& i, uint64_t& out) {
  size_t start = i;
  out = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    uint64_t d = static_cast<uint64_t>(text[i] - '0');
    out = out > (kMax - d) / 10 ? kMax : out * 10 + d;
  }
  return i > start;
}

}  // namespace

uint64_t parse_content_length(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i < text.size() && text[i] == u'+') ++i;
  uint64_t n = 0;
  return leading_number(text, i, n) ? n : 0;
}

uint64_t max_request_size() {
  const char* v = std::getenv("QUAZEL_CGI_MAX_REQUEST");
  if (!v) return kDefaultMaxRequest;
  std::string_view text(v);
  size_t i = 0;
  uint64_t n = 0;
  if (!leading_number(text, i, n)) return kDefaultMaxRequest;
  uint64_t scale = 1;
  if (i < text.size()) {
    switch (text[i++]) {
      case 'k': case 'K': scale = 1024; break;
      case 'm': case 'M': scale = 1024 * 1024; break;
      case 'g': case 'G': scale = 1024 * 1024 * 1024; break;
      default: return kDefaultMaxRequest;
    }
    if (i != text.size()) return kDefaultMaxRequest;
  }
  return n > kMax / scale ? kMax : n * scale;
}

BodyBuffer read_request_body(uint64_t length, const std::function<std::string(size_t)>& read) {
  if (length > SIZE_MAX) throw std::bad_alloc();
  BodyBuffer body(static_cast<size_t>(length));
  while (body.size() < length) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(kBodyChunk, length - body.size()));
    std::string chunk = read(want);
    body.append(chunk);
    if (chunk.size() < want) break;  // the input ended (or failed) before the length was reached
  }
  return body;
}

}  // namespace qz::cgi
