// Host side: finding the script that make appended to a standalone copy of the host program.
// The host program compiles embedded_script.cpp and standalone_layout.cpp in.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qz::standalone {

// Everything after the first end marker in `exe_bytes` (the script and its resource blocks,
// possibly empty), or nullopt when there is no marker.
std::optional<std::string> find_embedded_script(std::string_view exe_bytes);

// find_embedded_script on the file `exe_path` (the running program when empty). Nullopt when
// the file has no marker or cannot be read.
std::optional<std::string> read_embedded_script(const std::string& exe_path = {});

}  // namespace qz::standalone
