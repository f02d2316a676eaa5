// The script that make appended to a standalone copy of this program, read without copying
// the program: the file is mapped and searched for the end marker. Starting must stay fast,
// and a program file with its debugging data runs to megabytes.
#pragma once
#include <optional>
#include <string>

namespace qz {

// Everything after the first end marker in the running program (possibly empty), or nullopt
// when it has none or cannot be read.
std::optional<std::string> read_own_embedded_script();

}  // namespace qz
