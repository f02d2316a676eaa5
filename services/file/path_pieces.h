// Splitting a path at a separator the caller names: the folder part, the file name, and the
// file name's name part and extension. The separator is searched from the end of the text,
// comparing exactly; the text is cut after the separator's first character, so a separator
// of several characters leaves the rest of it at the front of the file name.
#pragma once
#include <string>
#include <string_view>

namespace qz {

std::u16string path_file_name(std::u16string_view text, std::u16string_view separator);   // all of it without a separator
std::u16string path_folder(std::u16string_view text, std::u16string_view separator);      // "" without a separator
std::u16string name_without_extension(std::u16string_view file_name);                     // before the last "."
std::u16string name_extension(std::u16string_view file_name);                             // after the last ".", no dot

}  // namespace qz
