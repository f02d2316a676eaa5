#include "engine/translator/source_lines.h"

#include <algorithm>

namespace qz {

const SourceLine* LineOrigins::find(int line) const {
  if (!table || line < 1 || static_cast<size_t>(line) > lines.size()) return nullptr;
  int32_t index = lines[static_cast<size_t>(line - 1)];
  if (index < 0 || static_cast<size_t>(index) >= table->size()) return nullptr;
  return &(*table)[static_cast<size_t>(index)];
}

namespace tr {

namespace {

const std::u16string kMarkRun = std::u16string(u"[") + kMarkLead + u"-" + static_cast<char16_t>(kMarkDigit0 + 15) + u"]*";

void append_mark(std::u16string& out, size_t index) {
  char16_t digits[16];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(kMarkDigit0 + (index & 15));
    index >>= 4;
  } while (index);
  out.push_back(kMarkLead);
  while (n) out.push_back(digits[--n]);
}

}  // namespace

std::u16string_view mark_pattern() { return kMarkRun; }

bool is_mark_char(char16_t c) { return c >= kMarkLead && c <= kMarkDigit0 + 15; }

void mark_lines(std::u16string& text, std::u16string_view file, int first_line, SourceLineTable& table) {
  if (std::any_of(text.begin(), text.end(), is_mark_char)) return;
  std::u16string out;
  out.reserve(text.size() + text.size() / 8 + 8);
  int line = first_line;
  size_t start = 0;
  while (true) {
    size_t end = text.find(u"\r\n", start);
    size_t stop = end == std::u16string::npos ? text.size() : end;
    std::u16string_view content(text.data() + start, stop - start);
    out.append(content);
    append_mark(out, table.size());
    table.push_back({std::u16string(file), line++, std::u16string(content)});
    if (end == std::u16string::npos) break;
    out.append(u"\r\n");
    start = end + 2;
  }
  text = std::move(out);
}

std::vector<int32_t> unmark(std::u16string& code) {
  std::vector<int32_t> lines;
  int32_t current = -1;
  size_t w = 0;
  const size_t n = code.size();
  for (size_t i = 0; i < n;) {
    char16_t c = code[i];
    if (c == kMarkLead) {
      int64_t value = 0;
      ++i;
      while (i < n && code[i] >= kMarkDigit0 && code[i] <= kMarkDigit0 + 15 && value < (int64_t{1} << 30))
        value = value * 16 + (code[i++] - kMarkDigit0);
      if (current < 0) current = static_cast<int32_t>(value);  // the line's first mark names it
      continue;
    }
    if (is_mark_char(c)) {
      ++i;
      continue;
    }
    code[w++] = c;
    ++i;
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i < n && code[i] == u'\n') {
        code[w++] = u'\n';
        ++i;
      }
      lines.push_back(current);
      current = -1;
    }
  }
  code.resize(w);
  lines.push_back(current);
  return lines;
}

std::u16string file_name_of(std::u16string_view path) {
  size_t sep = path.find_last_of(u"\\/");
  return std::u16string(sep == std::u16string_view::npos ? path : path.substr(sep + 1));
}

void strip_marks(std::u16string& code) {
  code.erase(std::remove_if(code.begin(), code.end(), is_mark_char), code.end());
}

}  // namespace tr
}  // namespace qz
