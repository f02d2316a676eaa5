#include "host/memory_library.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

namespace qz {

MemoryLibrary open_library_from_memory(std::string_view bytes, int dlopen_flags, std::string& error) {
  MemoryLibrary result;
  int fd = ::memfd_create("libquazel.so", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd < 0) {
    error = std::string("no memory file for the engine: ") + ::strerror(errno);
    return result;
  }
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = std::string("cannot fill the engine's memory file: ") + ::strerror(n < 0 ? errno : ENOSPC);
      ::close(fd);
      return result;
    }
    done += static_cast<size_t>(n);
  }
  // The library's bytes are fixed from here on.
  ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
  result.path = "/proc/self/fd/" + std::to_string(fd);
  result.handle = ::dlopen(result.path.c_str(), dlopen_flags);
  if (!result.handle) {
    const char* why = ::dlerror();
    error = why ? why : result.path + ": cannot be loaded";
    ::close(fd);
    result.path.clear();
  }
  return result;
}

}  // namespace qz
