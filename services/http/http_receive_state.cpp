#include "services/http/http_receive_state.h"

#include "com/str.h"

namespace qz {

void HttpReceiveState::reset() {
  done_ = false;
  header_.clear();
  body_.clear();
  head_so_far_.clear();
  content_length_ = 0;
  body_end_ = BodyEnd::Close;
  next_chunk_ = 0;
}

namespace {

// The status code of a status line "HTTP/x.y NNN ..."; 0 when the header has none.
int status_code(std::u16string_view header) {
  if (header.substr(0, 5) != u"HTTP/") return 0;
  size_t at = header.find(u' ');
  if (at == std::u16string_view::npos || header.size() < at + 4) return 0;
  int code = 0;
  for (size_t i = at + 1; i < at + 4; ++i) {
    if (header[i] < u'0' || header[i] > u'9') return 0;
    code = code * 10 + (header[i] - u'0');
  }
  return code;
}

int hex_digit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

bool HttpReceiveState::chunked_body_ended() {
  for (;;) {
    size_t line_end = body_.find(u"\r\n", next_chunk_);
    if (line_end == std::u16string::npos) return false;
    uint64_t size = 0;
    size_t digits = 0;
    for (size_t i = next_chunk_; i < line_end && hex_digit(body_[i]) >= 0; ++i, ++digits) {
      size = size * 16 + static_cast<uint64_t>(hex_digit(body_[i]));
      if (size > kMaxBodyChars) break;
    }
    if (digits == 0 || size > kMaxBodyChars) {  // not a chunked body after all: wait for the close
      body_end_ = BodyEnd::Close;
      return false;
    }
    if (size == 0) {
      // The last chunk: trailer lines, if any, end with a blank line.
      if (body_.compare(line_end + 2, 2, u"\r\n") == 0) return true;
      return body_.find(u"\r\n\r\n", line_end) != std::u16string::npos;
    }
    const uint64_t next = line_end + 2 + size + 2;
    if (body_.size() < next) return false;
    next_chunk_ = static_cast<size_t>(next);
  }
}

void HttpReceiveState::add_chunk(std::u16string_view chunk) {
  if (!header_.empty()) {
    size_t room = kMaxBodyChars - body_.size();
    body_.append(chunk.substr(0, room));
    if (chunk.size() > room) done_ = true;
  } else {
    // A header may come in several chunks: wait for its blank line.
    head_so_far_.append(chunk.substr(0, kMaxHeaderChars + 4));
    size_t blank = head_so_far_.find(u"\r\n\r\n");
    if (blank == std::u16string::npos) {
      if (head_so_far_.size() <= kMaxHeaderChars) return;
      header_ = std::move(head_so_far_);  // never ends: take it as the header
      head_so_far_.clear();
      body_end_ = BodyEnd::Nothing;
    } else {
      header_ = head_so_far_.substr(0, blank + 1);  // up to and including the first CR
      body_ = head_so_far_.substr(blank + 4, kMaxBodyChars);
      head_so_far_.clear();
      content_length_ = parse_content_length(header_);
      const int status = status_code(header_);
      const auto coding = header_field(header_, u"transfer-encoding");
      if ((status >= 100 && status < 200) || status == 204 || status == 304) body_end_ = BodyEnd::Nothing;
      else if (coding && lower(*coding).find(u"chunked") != std::u16string::npos) body_end_ = BodyEnd::Chunked;
      // A length that does not read as a number says nothing: the close ends the body.
      else if (content_length_ > 0 || header_field(header_, u"content-length").value_or(u"x").substr(0, 1) == u"0")
        body_end_ = BodyEnd::Length;
      else body_end_ = BodyEnd::Close;
    }
  }
  check_complete();
}

void HttpReceiveState::check_complete() {
  const size_t body = body_.size();
  if (max_size_ > 0 && body >= static_cast<size_t>(max_size_)) done_ = true;
  switch (body_end_) {
    case BodyEnd::Nothing: done_ = true; break;
    case BodyEnd::Length:
      if (body >= static_cast<size_t>(content_length_)) done_ = true;
      break;
    case BodyEnd::Chunked:
      if (chunked_body_ended()) done_ = true;
      break;
    case BodyEnd::Close: break;  // only finish() ends it
  }
}

void HttpReceiveState::finish() {
  if (header_.empty() && !head_so_far_.empty()) {
    header_ = std::move(head_so_far_);
    head_so_far_.clear();
  }
  done_ = true;
}

std::optional<std::u16string_view> header_field(std::u16string_view header, std::u16string_view name) {
  size_t line = 0;
  while (line < header.size()) {
    size_t end = header.find(u'\n', line);
    std::u16string_view text = header.substr(line, end == std::u16string_view::npos ? end : end - line);
    if (text.size() > name.size() && text[name.size()] == u':' && iequals(text.substr(0, name.size()), name)) {
      size_t i = name.size() + 1;
      while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
      return text.substr(i);
    }
    if (end == std::u16string_view::npos) break;
    line = end + 1;
  }
  return std::nullopt;
}

int32_t parse_content_length(std::u16string_view header) {
  const auto value = header_field(header, u"content-length");
  if (!value) return 0;
  int64_t n = 0;
  size_t digits = 0;
  for (size_t i = 0; i < value->size() && (*value)[i] >= u'0' && (*value)[i] <= u'9'; ++i, ++digits) {
    n = n * 10 + ((*value)[i] - u'0');
    if (n > INT32_MAX) return 0;
  }
  return digits ? static_cast<int32_t>(n) : 0;
}

}  // namespace qz
