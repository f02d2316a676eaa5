// Lookup in a list of "NAME=value" texts (environment entries, request pairs).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qz::cgi {

// The text after "NAME=" of the first entry that starts with it, letter case aside; `name` is
// taken without its surrounding blanks. The value keeps its case. No match (an entry without
// "=" never matches): an empty string.
std::u16string lookup_value(const std::vector<std::u16string>& entries, std::u16string_view name);

}  // namespace qz::cgi
