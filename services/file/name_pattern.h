// File-name patterns as scripts write them: "*" any run of characters, "?" any one character,
// letters compared without regard to case, and "*.*" standing for every name (also names
// without a dot), the way the find functions of the original platform read them.
#pragma once
#include <string_view>

namespace qz {

// True when `name` (one path component, UTF-8) matches `pattern` (UTF-8).
bool name_matches(std::string_view pattern, std::string_view name);
// True when the pattern holds "*" or "?".
bool has_wildcards(std::string_view pattern);

}  // namespace qz
