#include "host/cgi/multipart.h"

#include <algorithm>
#include <functional>

#include "host/cgi/header_value.h"

namespace qz::cgi {

namespace {

constexpr size_t kMaxBoundary = 70;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Finds delimiter lines: "--" boundary at `from` (the very start of the body) or after a CRLF.
class DelimiterFinder {
 public:
  DelimiterFinder(std::string_view body, std::string_view boundary)
      : body_(body), pattern_("\r\n--" + std::string(boundary)),
        searcher_(pattern_.begin(), pattern_.end()) {}

  struct Found {
    size_t start;       // where the CRLF before "--" is (or 0 for a delimiter opening the body)
    size_t after_line;  // the first byte after the delimiter line
    bool close;         // "--" boundary "--"
  };

  // The first delimiter at or after `from`; a line that only begins with the boundary text
  // (the boundary followed by other characters) is content, not a delimiter.
  std::optional<Found> next(size_t from, bool at_body_start) const {
    if (at_body_start && body_.substr(0, pattern_.size() - 2) == std::string_view(pattern_).substr(2)) {
      if (auto f = finish(0, pattern_.size() - 2)) return f;
    }
    size_t pos = from;
    while (pos < body_.size()) {
      auto it = std::search(body_.begin() + static_cast<ptrdiff_t>(pos), body_.end(), searcher_);
      if (it == body_.end()) return std::nullopt;
      size_t start = static_cast<size_t>(it - body_.begin());
      if (auto f = finish(start, start + pattern_.size())) return f;
      pos = start + 1;
    }
    return std::nullopt;
  }

 private:
  // After the boundary text at `p`: "--" closes; otherwise blanks, then CRLF.
  std::optional<Found> finish(size_t start, size_t p) const {
    if (body_.substr(p, 2) == "--") return Found{start, p + 2, true};
    while (p < body_.size() && is_blank(body_[p])) ++p;
    if (body_.substr(p, 2) == "\r\n") return Found{start, p + 2, false};
    return std::nullopt;
  }

  std::string_view body_;
  std::string pattern_;
  std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

// Header lines (continuation lines joined), then the content after the empty line.
MultipartPart parse_part(std::string_view part) {
  MultipartPart out;
  size_t header_end;
  std::string_view content;
  if (part.substr(0, 2) == "\r\n") {  // no headers at all
    header_end = 0;
    content = part.substr(2);
  } else {
    size_t blank = part.find("\r\n\r\n");
    header_end = blank == std::string_view::npos ? part.size() : blank;
    content = part.substr(blank == std::string_view::npos ? part.size() : blank + 4);
  }
  out.data = content;

  std::vector<std::string> lines;
  std::string_view headers = part.substr(0, header_end);
  while (!headers.empty()) {
    size_t eol = headers.find("\r\n");
    std::string_view line = headers.substr(0, eol);
    headers = eol == std::string_view::npos ? std::string_view() : headers.substr(eol + 2);
    if (!line.empty() && is_blank(line[0]) && !lines.empty()) {
      lines.back() += ' ';
      lines.back().append(line.substr(1));
    } else {
      lines.emplace_back(line);
    }
  }
  for (const std::string& line : lines) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = ascii_lower(std::string_view(line).substr(0, colon));
    while (!name.empty() && is_blank(name.back())) name.pop_back();
    std::string_view value = std::string_view(line).substr(colon + 1);
    if (name == "content-disposition") {
      HeaderValue hv = parse_header_value(value);
      if (auto n = hv.param("name")) out.name = *n;
      if (auto f = hv.param("filename")) {
        out.filename = *f;
        out.has_filename = true;
      }
    } else if (name == "content-type") {
      // The whole value as sent, parameters (charset=...) included.
      size_t b = value.find_first_not_of(" \t");
      size_t e = value.find_last_not_of(" \t");
      out.content_type = b == std::string_view::npos ? std::string() : std::string(value.substr(b, e - b + 1));
    }
  }
  return out;
}

}  // namespace

bool is_multipart_form_data(std::string_view content_type) {
  return ascii_lower(parse_header_value(content_type).value) == "multipart/form-data";
}

std::optional<std::string> multipart_boundary(std::string_view content_type) {
  std::optional<std::string> b = parse_header_value(content_type).param("boundary");
  if (!b || b->empty() || b->size() > kMaxBoundary) return std::nullopt;
  if (b->find_first_of("\r\n") != std::string::npos) return std::nullopt;
  return b;
}

MultipartForm parse_multipart(std::string_view body, std::string_view boundary) {
  MultipartForm form;
  if (boundary.empty()) return form;
  DelimiterFinder finder(body, boundary);
  std::optional<DelimiterFinder::Found> delim = finder.next(0, true);
  while (delim && !delim->close) {
    std::optional<DelimiterFinder::Found> next = finder.next(delim->after_line, false);
    if (!next) break;  // cut off: the last part never ended
    form.parts.push_back(parse_part(body.substr(delim->after_line, next->start - delim->after_line)));
    delim = next;
  }
  form.complete = delim && delim->close;
  return form;
}

}  // namespace qz::cgi
