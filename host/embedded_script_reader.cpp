#include "host/embedded_script_reader.h"

#include <fcntl.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/make/standalone_layout.h"
#include "platform/path.h"

namespace qz {

std::optional<std::string> read_own_embedded_script() {
  const std::string path = executable_path();
  if (path.empty()) return std::nullopt;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st{};
  std::optional<std::string> result;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) {
    size_t size = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      const std::string marker = standalone::end_marker();
      // memmem's two-way search does not stall on the zero bytes the marker starts with.
      const char* base = static_cast<const char*>(map);
      const void* at = ::memmem(base, size, marker.data(), marker.size());
      if (at) {
        const char* tail = static_cast<const char*>(at) + marker.size();
        result.emplace(tail, base + size - tail);
      }
      ::munmap(map, size);
    }
  }
  ::close(fd);
  return result;
}

}  // namespace qz
