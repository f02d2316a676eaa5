// Copying files and folder trees on disk, without ever damaging the source: a file copied onto
// itself (by any of its names) is refused instead of being emptied, a folder is never copied
// into itself, and a copy that fails half-way leaves no partial destination file behind.
#pragma once
#include <string>

namespace qz {

// Copies the contents, permission bits and modification time of the file `src` to `dst`
// (an existing `dst` is overwritten). Raises the file errors on failure.
void copy_file(const std::string& src, const std::string& dst);
// Copies the folder `src` into `dst` (created when missing; files already there are
// overwritten). Symbolic links are copied as links, never followed. OS paths without a
// trailing "/".
void copy_tree(const std::string& src, const std::string& dst);
// Removes a file, a symbolic link, or a folder with everything below it (read-only contents
// too). Never follows a link out of the tree.
void remove_tree(const std::string& path);
// Moves a file or folder: a rename, or a copy and removal across file systems. Raises 58 when
// `dst` exists.
void move_path(const std::string& src, const std::string& dst);

}  // namespace qz
