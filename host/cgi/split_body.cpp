#include "host/cgi/split_body.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

namespace qz::cgi {

namespace {

// Bytes are turned and released this much at a time: small next to a large upload, large
// enough that releasing costs nothing worth measuring.
constexpr size_t kStep = 1 << 20;

}  // namespace

namespace {

// Bytes kept plus characters of text: under a single-byte page, the body's length.
size_t length_of(const std::vector<std::variant<std::string, Str>>& pieces) {
  size_t n = 0;
  for (const auto& piece : pieces) {
    const auto* kept = std::get_if<std::string>(&piece);
    n += kept ? kept->size() : std::get<Str>(piece).size();
  }
  return n;
}

}  // namespace

Str SplitBody::text() const {
  if (!is_single_byte_page(codepage)) return decode_to_str(codepage, bytes());
  size_t units = length_of(pieces);
  return Str::build(units, [&](char16_t* out) {
    for (const auto& piece : pieces) {
      if (const auto* kept = std::get_if<std::string>(&piece)) {
        decode_into(codepage, *kept, out);
        out += kept->size();
      } else {
        const Str& text = std::get<Str>(piece);
        std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
        out += text.size();
      }
    }
  });
}

std::string SplitBody::bytes() const {
  std::string out;
  out.reserve(length_of(pieces));
  for (const auto& piece : pieces) {
    if (const auto* kept = std::get_if<std::string>(&piece))
      out += *kept;
    else
      out += encode(codepage, std::get<Str>(piece).view());
  }
  return out;
}

BodySplitter::BodySplitter(std::string_view body, int codepage, std::function<void(size_t)> release)
    : body_(body), release_(std::move(release)) {
  out_.codepage = codepage;
}

void BodySplitter::advance_to(size_t end, const std::function<void(std::string_view)>& take) {
  while (pos_ < end) {
    size_t n = std::min(kStep, end - pos_);
    take(body_.substr(pos_, n));
    pos_ += n;
    if (release_) release_(pos_);
  }
}

void BodySplitter::keep_bytes_until(size_t end) {
  if (end <= pos_) return;
  if (out_.pieces.empty() || !std::holds_alternative<std::string>(out_.pieces.back()))
    out_.pieces.emplace_back(std::string());
  std::string& kept = std::get<std::string>(out_.pieces.back());
  // Sized once for a new piece (an unfinished last part may be most of the body); a piece that
  // goes on after an empty part grows as strings do, never by exact steps.
  if (kept.empty()) kept.reserve(end - pos_);
  advance_to(end, [&](std::string_view bytes) { kept.append(bytes); });
}

Str BodySplitter::text_until(size_t end) {
  if (end <= pos_) return Str();
  if (!is_single_byte_page(out_.codepage)) {
    Str text = decode_to_str(out_.codepage, body_.substr(pos_, end - pos_));
    keep_bytes_until(end);
    return text;
  }
  Str text = Str::build(end - pos_, [&](char16_t* out) {
    advance_to(end, [&](std::string_view bytes) {
      decode_into(out_.codepage, bytes, out);
      out += bytes.size();
    });
  });
  out_.pieces.emplace_back(text);
  return text;
}

SplitBody BodySplitter::finish() && {
  keep_bytes_until(body_.size());
  return std::move(out_);
}

}  // namespace qz::cgi
