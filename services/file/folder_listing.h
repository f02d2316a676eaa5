// One folder's entries that match a name pattern, in a stable order: "." and ".." first (when
// the pattern takes them), then the names compared without regard to case. Linux hands names
// out in no particular order; scripts written for the original platform expect a sorted one.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qz {

struct FolderEntry {
  std::string name;     // UTF-8, as stored on disk
  bool folder = false;  // a folder, or a symbolic link to one
  bool link = false;    // a symbolic link
};

// The entries of `os_folder` (ending with "/" or empty for the current folder) whose names
// match `pattern` (see name_pattern.h). Empty when the folder cannot be read.
std::vector<FolderEntry> list_folder(const std::string& os_folder, std::string_view pattern);

// A script path cut before its last component: the folder as an OS path, resolved without
// regard to case and ending with "/" (or empty), and the last component (a name or pattern).
struct SplitPath {
  std::string folder;
  std::string pattern;
};
SplitPath split_script_path(std::u16string_view script_path);

}  // namespace qz
