#include "host/dde/dde_connection.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace qz::dde {

Connection::Connection(EventLoop& loop, int fd) : loop_(loop), fd_(fd) {
  int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
  ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
}

Connection::~Connection() { close(); }

void Connection::start(MessageFn on_message, ClosedFn on_closed) {
  on_message_ = std::move(on_message);
  on_closed_ = std::move(on_closed);
  if (fd_ < 0 || watch_) return;
  std::weak_ptr<Connection> weak = weak_from_this();
  watch_ = loop_.watch_fd(fd_, POLLIN, [weak](short revents) {
    if (auto self = weak.lock()) self->on_ready(revents);
  });
  update_events();
  if (!held_.empty()) deliver_held();
}

void Connection::close() {
  if (watch_) loop_.unwatch_fd(watch_);
  watch_ = 0;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  out_.clear();
}

void Connection::fail(const std::string& why) {
  if (fd_ < 0) return;
  close();
  ClosedFn closed = std::move(on_closed_);
  on_closed_ = nullptr;
  if (closed) closed(why);
}

void Connection::update_events() {
  if (watch_) loop_.set_fd_events(watch_, static_cast<short>(POLLIN | (out_.empty() ? 0 : POLLOUT)));
}

bool Connection::send(const Message& m) {
  if (fd_ < 0) return false;
  std::string frame = encode(m);
  if (frame.empty()) return false;
  if (out_.size() + frame.size() > kMaxPending) {
    // Deferred: the caller may be in the middle of walking its links.
    std::weak_ptr<Connection> weak = weak_from_this();
    loop_.post([weak] {
      if (auto self = weak.lock()) self->fail("the other program stopped reading");
    });
    return false;
  }
  out_ += frame;
  if (!flush()) {
    std::weak_ptr<Connection> weak = weak_from_this();
    loop_.post([weak] {
      if (auto self = weak.lock()) self->fail("the other program quit");
    });
    return false;
  }
  update_events();
  return true;
}

bool Connection::flush() {
  while (!out_.empty()) {
    ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL);
    if (n > 0) {
      out_.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;
  }
  return true;
}

int Connection::read_some() {
  char buf[16384];
  for (;;) {
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n > 0) {
      reader_.append(std::string_view(buf, static_cast<size_t>(n)));
      return static_cast<int>(n);
    }
    if (n == 0) return 0;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return -2;
    return -1;
  }
}

void Connection::on_ready(short revents) {
  auto keep = shared_from_this();
  if (fd_ < 0) return;
  if (revents & POLLOUT) {
    if (!flush()) return fail("the other program quit");
    update_events();
  }
  if (!(revents & (POLLIN | POLLHUP | POLLERR))) return;
  int got = read_some();
  if (got == -1) return fail("the other program quit");
  Message m;
  std::string why;
  for (;;) {
    FrameReader::Status s = reader_.next(m, &why);
    if (s == FrameReader::Status::NeedMore) break;
    if (s == FrameReader::Status::Broken) return fail("protocol error: " + why);
    if (m.is_reply() && stale_replies_ > 0) {
      --stale_replies_;
      continue;
    }
    if (on_message_) on_message_(m);
    if (fd_ < 0) return;  // the handler closed the link
  }
  if (got == 0) fail("the other program quit");
}

void Connection::deliver_held() {
  std::weak_ptr<Connection> weak = weak_from_this();
  loop_.post([weak] {
    auto self = weak.lock();
    if (!self) return;
    while (!self->held_.empty() && self->fd_ >= 0 && self->on_message_ && !self->in_call_) {
      Message m = std::move(self->held_.front());
      self->held_.pop_front();
      self->on_message_(m);
    }
  });
}

std::optional<Message> Connection::call(const Message& request, int timeout_ms, std::string* why) {
  auto keep = shared_from_this();
  auto set_why = [why](const char* text) {
    if (why) *why = text;
  };
  if (fd_ < 0) {
    set_why("no conversation is open");
    return std::nullopt;
  }
  std::string frame = encode(request);
  if (frame.empty()) {
    set_why("the text is too long to send");
    return std::nullopt;
  }
  out_ += frame;
  in_call_ = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::optional<Message> reply;
  std::string broken;
  while (!reply) {
    // Messages already read come first: a reply may be waiting in the buffer.
    Message m;
    FrameReader::Status s = reader_.next(m, &broken);
    if (s == FrameReader::Status::Broken) break;
    if (s == FrameReader::Status::Frame) {
      if (!m.is_reply()) held_.push_back(std::move(m));
      else if (stale_replies_ > 0) --stale_replies_;
      else reply = std::move(m);
      continue;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      ++stale_replies_;
      in_call_ = false;
      update_events();
      if (!held_.empty()) deliver_held();
      set_why("timeout");
      return std::nullopt;
    }
    pollfd p{fd_, static_cast<short>(POLLIN | (out_.empty() ? 0 : POLLOUT)), 0};
    int r = ::poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) continue;
    if ((p.revents & POLLOUT) && !flush()) {
      broken = "the other program quit";
      break;
    }
    if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
      int got = read_some();
      if (got == 0 || got == -1) {
        // What was read before the end may still hold the reply.
        Message last;
        std::string tail_why;
        while (!reply && reader_.next(last, &tail_why) == FrameReader::Status::Frame) {
          if (!last.is_reply()) held_.push_back(std::move(last));
          else if (stale_replies_ > 0) --stale_replies_;
          else reply = std::move(last);
        }
        if (!reply) broken = "the other program quit";
        break;
      }
    }
  }
  in_call_ = false;
  if (!reply) {
    if (broken.rfind("the other", 0) != 0) broken = "protocol error: " + broken;
    if (why) *why = broken;
    fail(broken);
    return std::nullopt;
  }
  update_events();
  if (!held_.empty()) deliver_held();
  return reply;
}

}  // namespace qz::dde
