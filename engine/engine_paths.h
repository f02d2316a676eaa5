// The folders the engine reports: its own library's folder and the running script's folder.
// Both are OS paths ending with "/", given as script text.
#pragma once
#include <string>
#include <string_view>

#include "com/object.h"

namespace qz {

// The folder of the library (or program) this code was linked into.
// A carried engine, loaded from memory, counts as lying in the program's folder.
std::u16string engine_library_folder();

// The OS path of the engine library this code runs in (a /proc/self/fd path for a carried
// engine); "" when the engine is linked into the program itself.
std::string engine_library_file();

// The folder of the running script: the folder part of `script_name` (separated by "\" or
// "/"); the engine folder when it has none; the host program's folder when the host says the
// script is embedded in it. Relative folders are made absolute from the current folder.
std::u16string script_folder_for(std::u16string_view script_name, Object* host);

// True when the script path names something that exists (file or folder).
bool script_path_exists(std::u16string_view script_path);
// The OS path of an existing regular file for a script path, or "" when there is none.
std::string existing_script_file(std::u16string_view script_path);

}  // namespace qz
