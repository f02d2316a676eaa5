#include "host/cgi/header_value.h"

namespace qz::cgi {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::optional<std::string> HeaderValue::param(std::string_view name) const {
  for (const auto& [n, v] : params)
    if (n == name) return v;
  return std::nullopt;
}

HeaderValue parse_header_value(std::string_view text) {
  HeaderValue out;
  size_t semi = text.find(';');
  out.value = std::string(trim_blanks(text.substr(0, semi)));
  size_t i = semi == std::string_view::npos ? text.size() : semi + 1;
  while (i < text.size()) {
    while (i < text.size() && (is_blank(text[i]) || text[i] == ';')) ++i;
    size_t name_start = i;
    while (i < text.size() && text[i] != '=' && text[i] != ';') ++i;
    std::string name = ascii_lower(trim_blanks(text.substr(name_start, i - name_start)));
    if (i >= text.size() || text[i] == ';') {
      // A parameter without a value ("inline;") is not one we look at.
      continue;
    }
    ++i;  // "="
    while (i < text.size() && is_blank(text[i])) ++i;
    std::string value;
    if (i < text.size() && text[i] == '"') {
      ++i;
      while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') ++i;
        value += text[i++];
      }
      if (i < text.size()) ++i;  // the closing quote; an unclosed string runs to the end
      while (i < text.size() && text[i] != ';') ++i;
    } else {
      size_t start = i;
      while (i < text.size() && text[i] != ';') ++i;
      value = std::string(trim_blanks(text.substr(start, i - start)));
    }
    if (!name.empty()) out.params.emplace_back(std::move(name), std::move(value));
  }
  return out;
}

}  // namespace qz::cgi
