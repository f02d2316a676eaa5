// A TCP client connection on the event loop: a non-blocking socket whose connect, reads and
// writes go on while the loop runs. Its states are numbered as scripts know them from the
// socket control (7 = connected). The socket does not keep a run alive: no script code runs
// from its events, only from the members that wait for it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/event_loop.h"

namespace qz {

enum class SocketState : int16_t {
  Closed = 0, ResolvingHost = 4, Connecting = 6, Connected = 7, PeerClosing = 8, Error = 9,
};

class TcpConnection {
 public:
  struct Events {
    std::function<void(std::string_view)> data;  // bytes as they arrive
    std::function<void()> closed;                // the peer closed or the connection failed
  };

  explicit TcpConnection(Events events) : events_(std::move(events)) {}
  ~TcpConnection() { close(); }
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Starts connecting (closing any earlier connection). Name lookup waits; the connect
  // itself goes on in the loop. A port outside 1..65535 or an unknown host gives Error.
  void connect(const std::string& host, int32_t port);
  // Queues bytes to send; false when not connected.
  bool send(std::string_view bytes);
  void close();

  SocketState state() const { return state_; }
  // Bytes that have arrived and not been read yet.
  int32_t bytes_waiting() const;
  int fd() const { return fd_; }

 private:
  bool try_next_address();
  void on_ready(short revents);
  void read_available();
  void write_pending();
  void fail();
  void update_watch();

  Events events_;
  SocketState state_ = SocketState::Closed;
  int fd_ = -1;
  EventLoop::WatchId watch_ = 0;
  std::string outgoing_;
  struct AddressList;
  std::shared_ptr<AddressList> addresses_;  // the ones still to try while connecting
};

}  // namespace qz
