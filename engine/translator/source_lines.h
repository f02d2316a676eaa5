// Where each line of generated code came from. The passes of the translator join, cut, move
// and insert lines; to still name the user's own file and line in an error report, every source
// line carries an invisible mark at its end (before its CR LF) that travels with it through the
// passes. When a module is built the marks are taken out and turned into a table: generated
// line -> source line (file, number, text).
//
// A mark is U+FDD0 followed by hexadecimal digits written as U+FDE0..U+FDEF: noncharacters,
// which no script text holds (a text that does hold one gets no marks).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

struct SourceLine {
  std::u16string file;  // the file's name; empty for the script itself
  int line = 0;         // 1-based
  std::u16string text;  // the line as the user wrote it
};

// Every line marked in one translation; marks are indices into it.
using SourceLineTable = std::vector<SourceLine>;

// For each line of a piece of generated code (0-based), the index of its source line in the
// table, or -1 for generated text.
struct LineOrigins {
  std::shared_ptr<const SourceLineTable> table;
  std::vector<int32_t> lines;

  // The source line of generated line `line` (1-based), or null.
  const SourceLine* find(int line) const;
};

namespace tr {

constexpr char16_t kMarkLead = 0xFDD0;
constexpr char16_t kMarkDigit0 = 0xFDE0;

// A pattern piece (for the translator's regular expressions) that matches any run of marks.
std::u16string_view mark_pattern();

bool is_mark_char(char16_t c);

// Appends a mark to every line of `text` (CR LF lines), recording each line in `table` under
// `file` from line number `first_line` on. A text that already holds mark characters is left
// as it is.
void mark_lines(std::u16string& text, std::u16string_view file, int first_line, SourceLineTable& table);

// Takes every mark out of `code`; returns the origin of each line (CR LF, lone CR and lone LF
// each end a line, as the script control counts them).
std::vector<int32_t> unmark(std::u16string& code);

// The last part of a path ("\\" or "/" separators): the name an error report gives a file.
std::u16string file_name_of(std::u16string_view path);

// `code` without its marks.
void strip_marks(std::u16string& code);

}  // namespace tr
}  // namespace qz
