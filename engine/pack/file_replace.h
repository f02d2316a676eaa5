// Reading a whole file, and writing one so that the old contents stay intact until the new
// ones are complete: the bytes go to a temporary file in the same folder, which is renamed over
// the target only when every byte was written.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>

namespace qz::pack {

// The file's bytes, or nullopt with the cause in `error`.
std::optional<std::string> read_whole_file(const std::string& path, std::string& error);

// Writes `bytes` to `path` through a temporary file and a rename. `mode` is the new file's
// permission bits; without it an existing file keeps its own (0644 for a new one). A symbolic
// link is followed, so the file it names gets the new contents. False with `error` on failure;
// the target is then untouched.
bool replace_file(const std::string& path, const std::string& bytes, std::optional<mode_t> mode, std::string& error);

}  // namespace qz::pack
