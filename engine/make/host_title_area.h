// Host side: the title in the program's 113-byte title area, which make rewrites in a
// standalone copy. The host program compiles host_title_area.cpp in.
#pragma once
#include <string>

namespace qz::standalone {

// The zero-terminated text at the start of this program's title area: "Quazel" in the host
// program itself, the title make wrote in a standalone copy. ANSI bytes, at most 112.
std::string host_title();

}  // namespace qz::standalone
