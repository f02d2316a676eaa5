// Loading a shared library from bytes in memory: the bytes go into an anonymous memory file
// (memfd_create), which is opened through /proc/self/fd. Nothing is written to a folder that
// other users share, and nothing is left behind when the process ends.
#pragma once
#include <string>
#include <string_view>

namespace qz {

struct MemoryLibrary {
  void* handle = nullptr;  // null on failure
  std::string path;        // the /proc/self/fd path it was opened by
};

// The memory file stays open for the life of the process, so the library's own file can still
// be read by that path (as make does to carry the engine on).
MemoryLibrary open_library_from_memory(std::string_view bytes, int dlopen_flags, std::string& error);

}  // namespace qz
