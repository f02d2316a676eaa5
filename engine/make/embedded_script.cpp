#include "engine/make/embedded_script.h"

#include <string.h>

#include <fstream>
#include <iterator>

#include "engine/make/carried_engine.h"
#include "engine/make/standalone_layout.h"
#include "platform/path.h"

namespace qz::standalone {

std::optional<std::string> find_embedded_script(std::string_view exe_bytes) {
  const std::string marker = end_marker();
  // memmem's two-way search does not stall on the many zero bytes of a program, where a
  // search keyed on the marker's first byte would.
  const void* at = ::memmem(exe_bytes.data(), exe_bytes.size(), marker.data(), marker.size());
  if (!at) return std::nullopt;
  size_t after = static_cast<size_t>(static_cast<const char*>(at) - exe_bytes.data()) + marker.size();
  return std::string(split_embedded(exe_bytes.substr(after)).script);
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
