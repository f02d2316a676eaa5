// Reading a script, #Include or library file: only a regular file, and no more than a script
// may hold, so that a device (/dev/zero), a pipe or a runaway file never reads without end.
#pragma once
#include <cstdint>
#include <string>

namespace qz {

// The most bytes a script file may hold; packed scripts unpack to no more than this either.
inline constexpr uint64_t kMaxScriptFileBytes = uint64_t{256} << 20;

enum class ScriptFileRead { Read, NotRegular, TooLarge, Unreadable };

// Reads the whole file into `bytes` (left empty unless Read).
ScriptFileRead read_script_file(const std::string& os_path, std::string& bytes,
                                uint64_t max_bytes = kMaxScriptFileBytes);

// Why a file that is there would not be read: NotRegular, TooLarge, or else Unreadable.
ScriptFileRead script_file_problem(const std::string& os_path, uint64_t max_bytes = kMaxScriptFileBytes);

}  // namespace qz
