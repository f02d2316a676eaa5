#include "services/http/tcp_connection.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qz {

namespace {

// One pass of the loop reads at most this much, so a fast sender cannot starve the rest.
constexpr size_t kReadPerPass = 1 << 20;

}  // namespace

struct TcpConnection::AddressList {
  std::vector<sockaddr_storage> addresses;
  std::vector<socklen_t> lengths;
  size_t next = 0;
};

void TcpConnection::connect(const std::string& host, int32_t port) {
  close();
  state_ = SocketState::ResolvingHost;
  if (port < 1 || port > 65535 || host.empty() || host.find('\0') != std::string::npos) {
    state_ = SocketState::Error;
    return;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    state_ = SocketState::Error;
    return;
  }
  auto list = std::make_shared<AddressList>();
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    sockaddr_storage s{};
    std::memcpy(&s, a->ai_addr, a->ai_addrlen);
    list->addresses.push_back(s);
    list->lengths.push_back(a->ai_addrlen);
  }
  ::freeaddrinfo(found);
  addresses_ = std::move(list);
  state_ = SocketState::Connecting;
  if (!try_next_address()) state_ = SocketState::Error;
}

// Starts a connect to the next address; false when none is left.
bool TcpConnection::try_next_address() {
  while (addresses_ && addresses_->next < addresses_->addresses.size()) {
    size_t i = addresses_->next++;
    const auto& addr = addresses_->addresses[i];
    int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    int r = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), addresses_->lengths[i]);
    if (r != 0 && errno != EINPROGRESS) {
      ::close(fd);
      continue;
    }
    fd_ = fd;
    state_ = r == 0 ? SocketState::Connected : SocketState::Connecting;
    if (state_ == SocketState::Connected) addresses_.reset();
    watch_ = event_loop().watch_fd(fd_, POLLOUT, [this](short ev) { on_ready(ev); }, /*keep_alive=*/false);
    return true;
  }
  return false;
}

void TcpConnection::on_ready(short revents) {
  if (state_ == SocketState::Connecting) {
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    if (err != 0 || (revents & (POLLERR | POLLNVAL))) {
      // This address refused: drop its socket and try the next one.
      event_loop().unwatch_fd(watch_);
      watch_ = 0;
      ::close(fd_);
      fd_ = -1;
      if (!try_next_address()) {
        close();
        state_ = SocketState::Error;
        if (events_.closed) events_.closed();
      }
      return;
    }
    state_ = SocketState::Connected;
    addresses_.reset();
    update_watch();
    return;
  }
  if (revents & POLLOUT) write_pending();
  if (fd_ >= 0 && (revents & (POLLIN | POLLHUP | POLLERR))) read_available();
}

void TcpConnection::read_available() {
  char buf[65536];
  size_t total = 0;
  while (fd_ >= 0 && total < kReadPerPass) {
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n > 0) {
      total += static_cast<size_t>(n);
      if (events_.data) events_.data(std::string_view(buf, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    // The peer closed (0) or the connection broke: nothing more can arrive.
    if (n == 0) {
      state_ = SocketState::PeerClosing;
      event_loop().unwatch_fd(watch_);
      watch_ = 0;
      if (events_.closed) events_.closed();
    } else {
      fail();
    }
    return;
  }
}

void TcpConnection::write_pending() {
  while (fd_ >= 0 && !outgoing_.empty()) {
    ssize_t n = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
    if (n > 0) {
      outgoing_.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    fail();
    return;
  }
  update_watch();
}

void TcpConnection::update_watch() {
  if (fd_ < 0 || !watch_) return;
  event_loop().set_fd_events(watch_, static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT)));
}

bool TcpConnection::send(std::string_view bytes) {
  if (state_ != SocketState::Connected) return false;
  outgoing_.append(bytes);
  write_pending();
  return true;
}

void TcpConnection::fail() {
  bool was_open = fd_ >= 0;
  close();
  state_ = SocketState::Error;
  if (was_open && events_.closed) events_.closed();
}

void TcpConnection::close() {
  if (watch_) event_loop().unwatch_fd(watch_);
  watch_ = 0;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  outgoing_.clear();
  addresses_.reset();
  state_ = SocketState::Closed;
}

int32_t TcpConnection::bytes_waiting() const {
  int n = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0) return 0;
  return n;
}

}  // namespace qz
