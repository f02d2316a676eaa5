#include "host/service/notify_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace qz::service {

bool notify_service_manager(std::string_view state) {
  const char* where = std::getenv("NOTIFY_SOCKET");
  if (!where || !*where) return false;
  std::string_view path(where);
  if (path[0] != '/' && path[0] != '@') return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.data(), path.size());
  if (path[0] == '@') addr.sun_path[0] = '\0';
  socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (path[0] == '/' ? 1 : 0));
  int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ssize_t n = ::sendto(fd, state.data(), state.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&addr), len);
  ::close(fd);
  return n == static_cast<ssize_t>(state.size());
}

}  // namespace qz::service
