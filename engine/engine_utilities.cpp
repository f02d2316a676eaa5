#include "engine/engine_utilities.h"

#include <sys/utsname.h>

#include "com/error.h"
#include "com/progid.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "runtime/random_text.h"

namespace qz {

std::u16string file_name_part(std::u16string_view text, std::u16string_view separator) {
  size_t at = separator.empty() ? std::u16string_view::npos : text.rfind(separator);
  return std::u16string(at == std::u16string_view::npos ? text : text.substr(at + separator.size()));
}

std::u16string path_part(std::u16string_view text, std::u16string_view separator) {
  size_t at = separator.empty() ? std::u16string_view::npos : text.rfind(separator);
  return at == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(0, at + separator.size()));
}

int16_t to_int16(int32_t value) {
  if (value >= 32768 && value <= 65535) return static_cast<int16_t>(value - 65536);
  if (value < -32768 || value > 65535) raise(kErrOverflow);
  return static_cast<int16_t>(value);
}

int64_t ulong_to_currency(int32_t value) {
  return static_cast<int64_t>(static_cast<uint32_t>(value)) * 10000;
}

std::u16string system_version_text() {
  utsname u{};
  if (::uname(&u) != 0) return {};
  return utf8_to_u16(std::string(u.release) + " [" + u.version + "]");
}

std::u16string temp_path() { return script_path(temp_folder()); }

std::u16string random_name() { return random_text(8); }

bool has_regexp() {
  try {
    return static_cast<bool>(create_object(u"VBScript.RegExp"));
  } catch (...) {
    return false;
  }
}

}  // namespace qz
