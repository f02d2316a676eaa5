// One end of a DDE conversation socket: frames out through a buffer that drains as the socket
// takes it, frames in through a FrameReader, all on the event loop. A connection is held by
// shared_ptr: script code that runs from a message may drop the last other reference.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/dde/dde_protocol.h"
#include "platform/event_loop.h"

namespace qz::dde {

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  using MessageFn = std::function<void(Message&)>;
  using ClosedFn = std::function<void(const std::string& why)>;

  // Takes ownership of `fd` (made non-blocking). Nothing is watched until start().
  Connection(EventLoop& loop, int fd);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Starts delivering messages to `on_message`; `on_closed` runs once when the peer goes or
  // breaks the protocol (not after close()). An open connection keeps the run alive.
  void start(MessageFn on_message, ClosedFn on_closed);

  // Queues a frame; false when the connection is closed or its peer has stopped reading.
  bool send(const Message& m);

  // Sends `request` and waits up to timeout_ms for its reply, without running the loop.
  // Messages that arrive first are held and delivered from the loop afterwards. Nothing when
  // the time ran out, the peer went or broke the protocol (then the connection is closed and
  // `why` says which; the timeout leaves it open).
  std::optional<Message> call(const Message& request, int timeout_ms, std::string* why);

  void close();
  bool is_open() const { return fd_ >= 0; }

  // More than this much unsent output means the peer is not reading: the connection goes.
  static constexpr size_t kMaxPending = 8u << 20;

 private:
  void on_ready(short revents);
  bool flush();                  // false on a write error
  int read_some();               // bytes read, 0 at end of stream, -1 on error, -2 would block
  void deliver_held();
  void fail(const std::string& why);  // close and report
  void update_events();

  EventLoop& loop_;
  int fd_;
  EventLoop::WatchId watch_ = 0;
  FrameReader reader_;
  std::string out_;
  std::deque<Message> held_;
  MessageFn on_message_;
  ClosedFn on_closed_;
  bool in_call_ = false;
  // Replies are matched by order: one outstanding call at a time, and a reply that arrives
  // after its call gave up is dropped.
  int stale_replies_ = 0;
};

}  // namespace qz::dde
