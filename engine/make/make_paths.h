// Paths written in make.ini, turned into OS paths.
#pragma once
#include <string>
#include <string_view>

#include "engine/make/make_context.h"

namespace qz::make {

// `value` with path macros expanded and mapped to an OS path; a relative path lies in
// `folder` (the folder make.ini was looked for in). A missing path is found without regard
// to case.
std::string ini_path(std::u16string_view value, const std::string& folder, const MakeContext& ctx);

// The part of a path after its last "\" or "/".
std::u16string_view file_name_part(std::u16string_view path);

// True when both paths name the same file (or are the same path while neither exists).
bool same_file(const std::string& a, const std::string& b);

}  // namespace qz::make
