#include "engine/translator/script_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qz {

ScriptFileRead read_script_file(const std::string& os_path, std::string& bytes, uint64_t max_bytes) {
  bytes.clear();
  // Non-blocking, so that opening a pipe with no writer does not wait before it is refused.
  const int fd = ::open(os_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ScriptFileRead::Unreadable;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st{};
  if (::fstat(fd, &st) != 0) return ScriptFileRead::Unreadable;
  if (!S_ISREG(st.st_mode)) return ScriptFileRead::NotRegular;
  if (static_cast<uint64_t>(st.st_size) > max_bytes) return ScriptFileRead::TooLarge;
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ScriptFileRead::Unreadable;
    if (n == 0) break;
    if (data.size() + static_cast<uint64_t>(n) > max_bytes) return ScriptFileRead::TooLarge;  // grew while read
    data.append(chunk, static_cast<size_t>(n));
  }
  bytes = std::move(data);
  return ScriptFileRead::Read;
}

ScriptFileRead script_file_problem(const std::string& os_path, uint64_t max_bytes) {
  struct stat st{};
  if (::stat(os_path.c_str(), &st) != 0) return ScriptFileRead::Unreadable;
  if (!S_ISREG(st.st_mode)) return ScriptFileRead::NotRegular;
  if (static_cast<uint64_t>(st.st_size) > max_bytes) return ScriptFileRead::TooLarge;
  return ScriptFileRead::Unreadable;
}

}  // namespace qz
