// The connection against a listening socket of the test itself on 127.0.0.1.
#include "services/http/tcp_connection.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace qz {
namespace {

class Listener {
 public:
  Listener() {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 4);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
  }
  ~Listener() { ::close(fd); }
  int fd;
  int port;
};

template <class F>
bool pump_until(F done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    event_loop().do_events();
    ::usleep(1000);
  }
  return true;
}

TEST(TcpConnection, ConnectsSendsReceivesAndSeesThePeerClose) {
  Listener server;
  std::string received;
  bool closed = false;
  TcpConnection c({[&](std::string_view b) { received += b; }, [&] { closed = true; }});
  c.connect("127.0.0.1", server.port);
  ASSERT_TRUE(pump_until([&] { return c.state() == SocketState::Connected; }));
  int peer = ::accept(server.fd, nullptr, nullptr);
  ASSERT_GE(peer, 0);

  std::string big(3 << 20, 'q');  // more than the socket takes at once
  ASSERT_TRUE(c.send(big));
  std::string got;
  char buf[65536];
  while (got.size() < big.size()) {
    event_loop().do_events();
    ssize_t n = ::recv(peer, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
  }
  EXPECT_EQ(got, big);

  ASSERT_EQ(::send(peer, "reply", 5, 0), 5);
  ASSERT_TRUE(pump_until([&] { return received == "reply"; }));
  ::close(peer);
  ASSERT_TRUE(pump_until([&] { return closed; }));
  EXPECT_EQ(c.state(), SocketState::PeerClosing);
  EXPECT_FALSE(c.send("late"));
  c.close();
  EXPECT_EQ(c.state(), SocketState::Closed);
}

TEST(TcpConnection, RefusedAndInvalidTargetsEndInError) {
  int port;
  {
    Listener gone;
    port = gone.port;
  }
  bool closed = false;
  TcpConnection c({nullptr, [&] { closed = true; }});
  c.connect("127.0.0.1", port);
  ASSERT_TRUE(pump_until([&] { return c.state() == SocketState::Error; }));
  EXPECT_TRUE(closed);
  for (int bad_port : {0, -1, 65536}) {
    c.connect("127.0.0.1", bad_port);
    EXPECT_EQ(c.state(), SocketState::Error);
  }
  c.connect(std::string("127.0.0.1\0x", 11), 80);
  EXPECT_EQ(c.state(), SocketState::Error);
  c.connect("", 80);
  EXPECT_EQ(c.state(), SocketState::Error);
}

}  // namespace
}  // namespace qz
