// The engine's command line: which script to run and with what argument text.
//
//   mode 1  free text, then a quoted drive path written with "/":  arg "c:/dir/a.qz"
//   mode 2  inline code ending in "/run" ("~" breaks lines):     Print 1~Print 2 /run
//   mode 0  a path, optionally quoted, then "/" and the arguments: C:\dir\a.qz /x y
//
// Before mode 0 one rule of this system's own: a line that starts with the path of an existing
// file (up to the first blank, or inside double quotes) names that file, and the rest, without
// its leading blanks and one run of "/", is the argument text. So Linux paths work:
// "/tmp/a.qz /make" builds, "scripts/a.qz x y" passes "x y".
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

struct ParsedCommand {
  enum class Mode { Path, QuotedDrivePath, Inline };
  Mode mode = Mode::Path;
  // The script path, or for Inline the code (CR LF line breaks).
  std::u16string file;
  // The argument text; nullopt when the line did not match (the engine keeps its earlier one).
  std::optional<std::u16string> arg;
};

// `is_file` says whether a script path names an existing regular file.
ParsedCommand parse_command_line(std::u16string_view line,
                                 const std::function<bool(std::u16string_view)>& is_file);

}  // namespace qz
