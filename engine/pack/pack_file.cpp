#include "engine/pack/pack_file.h"

#include <stdexcept>

#include "engine/pack/file_replace.h"

namespace qz::pack {

PackFileStatus pack_file(const std::string& path, EngineVersion version, std::string& error) {
  auto plain = read_whole_file(path, error);
  if (!plain) return PackFileStatus::Failed;
  if (is_packed(*plain)) return PackFileStatus::AlreadyPacked;
  std::string packed;
  try {
    packed = pack(*plain, version);
  } catch (const std::exception& e) {
    error = "cannot pack " + path + ": " + e.what();
    return PackFileStatus::Failed;
  }
  return replace_file(path, packed, std::nullopt, error) ? PackFileStatus::Packed : PackFileStatus::Failed;
}

}  // namespace qz::pack
