#include "services/file/path_pieces.h"

namespace qz {

namespace {

// Where the text is cut: just after the last `separator` in `text` (all of it), 0 when there
// is none; an empty separator is found at the last character, as the language's InStrRev
// finds it.
size_t last_position(std::u16string_view text, std::u16string_view separator) {
  if (text.empty()) return 0;
  if (separator.empty()) return text.size();
  size_t at = text.rfind(separator);
  return at == std::u16string_view::npos ? 0 : at + separator.size();
}

}  // namespace

std::u16string path_file_name(std::u16string_view text, std::u16string_view separator) {
  return std::u16string(text.substr(last_position(text, separator)));
}

std::u16string path_folder(std::u16string_view text, std::u16string_view separator) {
  return std::u16string(text.substr(0, last_position(text, separator)));
}

std::u16string name_without_extension(std::u16string_view file_name) {
  size_t dot = file_name.rfind(u'.');
  return std::u16string(dot == std::u16string_view::npos ? file_name : file_name.substr(0, dot));
}

std::u16string name_extension(std::u16string_view file_name) {
  size_t dot = file_name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string() : std::u16string(file_name.substr(dot + 1));
}

}  // namespace qz
