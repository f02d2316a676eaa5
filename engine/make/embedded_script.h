// Host side: finding the script that make appended to a standalone copy of the host program.
// The host program compiles embedded_script.cpp and standalone_layout.cpp in.
//
// What is found is bytes (as a rule a packed script, see engine/pack/packed_script.h), not text:
// it must reach the engine unchanged, as a byte string, and by a road of its own that never
// parses it as a command line (a script may well end in "/run" or start with a quoted path).
// The engine reads it as it reads a script file: unpack, cut the resource blocks, decode.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qz::standalone {

// Everything after the first end marker in `exe_bytes` up to a carried engine (the script and
// its resource blocks, possibly empty), or nullopt when there is no marker.
std::optional<std::string> find_embedded_script(std::string_view exe_bytes);

// find_embedded_script on the file `exe_path` (the running program when empty). Nullopt when
// the file has no marker or cannot be read.
std::optional<std::string> read_embedded_script(const std::string& exe_path = {});

}  // namespace qz::standalone
