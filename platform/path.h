// Paths. Scripts write drive-letter paths with backslashes ("C:\Data\file.txt"); the
// operating system wants "/data/file.txt". The rules:
//
// - "\" and "/" both separate components; OS paths use "/" only. Nothing else is normalised
//   ("..", "." and doubled separators pass through), so "\\server\share" becomes "//server/share".
// - A leading drive "X:" (a letter and a colon) is replaced by the drive's root folder:
//   the value of QUAZEL_DRIVE_X (X upper-case) when it is set and not empty; otherwise "/" for
//   drive C, and "/mnt/x" (x lower-case) for every other drive, so a script's "D:\" never
//   lands silently in the root folder. There is no current folder per drive: "C:name" is
//   "C:\name".
// - File names are UTF-8 on the OS side.
// - Linux names are case-sensitive, scripts expect otherwise: resolve_path() finds a missing
//   path by matching each missing component without regard to case.
// - Folders this system reports end with "/".
#pragma once
#include <string>
#include <string_view>

namespace qz {

// The OS path for a script path: separators and drive mapped, UTF-8. No lookup on disk.
std::string os_path(std::u16string_view script_path);
// The root folder that drive `letter` maps to, ending with "/".
std::string drive_root(char16_t letter);
// When `path` does not exist, the path with each component that is missing replaced by the
// one entry of its folder that equals it without regard to case (the first in byte order when
// several do). Components after the first one that cannot be found are kept as given, so the
// result also names a file to be created in a folder that was found. A trailing "/" is kept.
std::string resolve_path(std::string_view path);
// resolve_path(os_path(script_path)): what file operations open.
std::string find_path(std::u16string_view script_path);
// An OS path as script text.
std::u16string script_path(std::string_view os_path);

bool path_exists(std::string_view path);   // a file, folder or anything else
bool file_exists(std::string_view path);   // exists and is not a folder
bool dir_exists(std::string_view path);
std::string with_trailing_slash(std::string_view folder);  // "" stays "" (the current folder)
// The folder part of a path, up to and including its last "/" ("" when it has none).
std::string parent_folder(std::string_view path);

// $TMPDIR when it is an absolute path to a folder, else "/tmp/"; ends with "/".
std::string temp_folder();
// The running program (from /proc/self/exe) and its folder (ending with "/"); "" on failure.
std::string executable_path();
std::string executable_folder();

// A new, empty file created exclusively (never an existing file or a symbolic link) with mode
// 0600 and an unpredictable name: folder + prefix + 16 random characters + suffix. An empty
// folder means temp_folder(). The caller owns fd. Throws std::system_error on failure
// (EINVAL when prefix or suffix holds a "/").
struct TempFile {
  int fd = -1;
  std::string path;
};
TempFile create_temp_file(std::string_view folder = {}, std::string_view prefix = "qz", std::string_view suffix = {});

}  // namespace qz
