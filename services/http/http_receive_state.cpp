#include "services/http/http_receive_state.h"

#include "com/str.h"

namespace qz {

void HttpReceiveState::reset() {
  done_ = false;
  header_.clear();
  body_.clear();
  head_so_far_.clear();
  content_length_ = 0;
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
    } else {
      header_ = head_so_far_.substr(0, blank + 1);  // up to and including the first CR
      body_ = head_so_far_.substr(blank + 4, kMaxBodyChars);
      head_so_far_.clear();
      content_length_ = parse_content_length(header_);
    }
  }
  check_complete();
}

void HttpReceiveState::check_complete() {
  size_t body = body_.size();
  // An empty body ends a reply only when its header promises none: servers send the header
  // by itself before a body as often as not.
  if ((content_length_ != 0 && body >= static_cast<size_t>(content_length_)) || (body == 0 && content_length_ == 0) ||
      (max_size_ > 0 && body >= static_cast<size_t>(max_size_)))
    done_ = true;
}

void HttpReceiveState::finish() {
  if (header_.empty() && !head_so_far_.empty()) {
    header_ = std::move(head_so_far_);
    head_so_far_.clear();
  }
  done_ = true;
}

int32_t parse_content_length(std::u16string_view header) {
  constexpr std::u16string_view kName = u"content-length:";
  size_t line = 0;
  while (line < header.size()) {
    size_t end = header.find(u'\n', line);
    std::u16string_view text = header.substr(line, end == std::u16string_view::npos ? end : end - line);
    if (text.size() >= kName.size() && iequals(text.substr(0, kName.size()), kName)) {
      size_t i = kName.size();
      while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
      int64_t n = 0;
      size_t digits = 0;
      for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
        n = n * 10 + (text[i] - u'0');
        if (n > INT32_MAX) return 0;
      }
      return digits ? static_cast<int32_t>(n) : 0;
    }
    if (end == std::u16string_view::npos) break;
    line = end + 1;
  }
  return 0;
}

}  // namespace qz
