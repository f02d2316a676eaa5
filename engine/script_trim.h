// The script language's Trim: blanks (spaces only) off both ends.
#pragma once
#include <string>
#include <string_view>

namespace qz {

inline std::u16string trim_blanks(std::u16string_view s) {
  size_t b = s.find_first_not_of(u' ');
  if (b == std::u16string_view::npos) return {};
  size_t e = s.find_last_not_of(u' ');
  return std::u16string(s.substr(b, e - b + 1));
}

}  // namespace qz
