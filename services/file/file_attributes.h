// File attribute bits as scripts know them, made from what Linux keeps: 1 read-only (the owner
// may not write), 2 hidden (the name starts with "."), 16 folder, 32 archive (every file that is
// not a folder carries it, as a freshly written file does on the original platform).
#pragma once
#include <cstdint>
#include <string>

namespace qz {

enum : int32_t { kAttrReadOnly = 1, kAttrHidden = 2, kAttrSystem = 4, kAttrVolume = 8, kAttrFolder = 16, kAttrArchive = 32 };

// Raises 53 when nothing is at `os_path`.
int32_t file_attributes(const std::string& os_path);
// Only the read-only bit can be set on Linux: it takes the write permission from everyone, or
// gives it back to the owner. The other bits are accepted and ignored.
void set_file_attributes(const std::string& os_path, int32_t bits);

}  // namespace qz
