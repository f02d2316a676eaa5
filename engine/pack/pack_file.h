// Packing a script file where it lies.
#pragma once
#include <string>

#include "engine/pack/packed_script.h"

namespace qz::pack {

enum class PackFileStatus { Packed, AlreadyPacked, Failed };

// Replaces the file at `path` (an OS path) by its packed form. A file that is already packed is
// left byte for byte as it was. On failure the file is untouched and `error` says why.
PackFileStatus pack_file(const std::string& path, EngineVersion version, std::string& error);

}  // namespace qz::pack
