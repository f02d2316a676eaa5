// The folder and file statements that take script paths, with the rules scripts rely on:
// a wildcard in the last component of the source names every match; a destination that ends
// with a separator is a folder to put the source into. Failures raise the file errors (53 no
// such file, 58 the destination exists, 76 no such folder, 70 refused).
#pragma once
#include <string_view>

namespace qz {

void copy_folder(std::u16string_view src, std::u16string_view dst);   // files there are overwritten
void move_folder(std::u16string_view src, std::u16string_view dst);
void move_file(std::u16string_view src, std::u16string_view dst);
void delete_folder(std::u16string_view src);                          // read-only contents too
// Deletes the files (never folders) that match `pattern`; 53 when none does.
void kill_files(std::u16string_view pattern);
// The rename statement: 53 when `src` is missing, 58 when `dst` exists.
void rename_file(std::u16string_view src, std::u16string_view dst);

}  // namespace qz
