#include "engine/make/embedded_script.h"

#include <fstream>
#include <iterator>

#include "engine/make/standalone_layout.h"
#include "platform/path.h"

namespace qz::standalone {

std::optional<std::string> find_embedded_script(std::string_view exe_bytes) {
  const std::string marker = end_marker();
  size_t at = exe_bytes.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(exe_bytes.substr(at + marker.size()));
}

std::optional<std::string> read_embedded_script(const std::string& exe_path) {
  const std::string path = exe_path.empty() ? executable_path() : exe_path;
  if (path.empty()) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return find_embedded_script(bytes);
}

}  // namespace qz::standalone
