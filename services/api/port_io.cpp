#include "services/api/port_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace qz {

namespace {

constexpr int32_t kLastPort = 0xFFFF;

bool port_io_allowed(int32_t port) {
  const char* v = std::getenv("QUAZEL_ALLOW_PORT_IO");
  return port >= 0 && port <= kLastPort && ::geteuid() == 0 && v && std::string(v) == "1";
}

}  // namespace

uint8_t read_port(int32_t port) {
  if (!port_io_allowed(port)) return 0;
  int fd = ::open("/dev/port", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  uint8_t value = 0;
  if (::pread(fd, &value, 1, port) != 1) value = 0;
  ::close(fd);
  return value;
}

void write_port(int32_t port, uint8_t value) {
  if (!port_io_allowed(port)) return;
  int fd = ::open("/dev/port", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return;
  [[maybe_unused]] ssize_t n = ::pwrite(fd, &value, 1, port);
  ::close(fd);
}

}  // namespace qz
