#include "host/dde/dde_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "com/convert.h"
#include "host/dde/dde_address.h"
#include "host/dde/dde_errors.h"
#include "host/dde/dde_item.h"
#include "host/dde/dde_label.h"
#include "host/dde/dde_link_object.h"

namespace qz::dde {

namespace {

// True when some program accepts connections on `path`.
bool someone_listens(const sockaddr_un& addr) {
  int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  bool live = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  ::close(probe);
  return live;
}

}  // namespace

Server::Server(DdeObject& owner) : owner_(owner), loop_(owner.loop()) {}

Server::~Server() {
  *alive_ = false;
  for (auto& p : peers_) p->conn->close();
  peers_.clear();
  if (watch_) loop_.unwatch_fd(watch_);
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(path_.c_str());
  }
}

bool Server::listen(const std::string& app, const std::string& topic, std::string* why) {
  if (!ensure_socket_folder(why)) return false;
  path_ = socket_path(app, topic);
  app_ = app;
  topic_ = topic;
  sockaddr_un addr{};
  if (!fill_socket_address(path_, addr)) {
    if (why) *why = "socket path too long";
    return false;
  }
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  auto try_bind = [&] { return ::bind(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0; };
  bool bound = try_bind();
  if (!bound && errno == EADDRINUSE) {
    // A socket left by a program that ended without removing it is taken over; a live one is not.
    if (someone_listens(addr)) {
      if (why) *why = "another program serves this topic";
    } else {
      ::unlink(path_.c_str());
      bound = try_bind();
    }
  }
  if (!bound || ::listen(fd_, 16) != 0) {
    if (why && why->empty()) *why = path_ + ": " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  // A listening server can still bring events: it keeps the run alive.
  watch_ = loop_.watch_fd(fd_, POLLIN, [this](short) { on_accept(); });
  return true;
}

void Server::on_accept() {
  for (;;) {
    int c = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (c < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (peers_.size() >= kMaxPeers) {
      ::close(c);
      continue;
    }
    auto peer = std::make_shared<Peer>();
    peer->conn = std::make_shared<Connection>(loop_, c);
    peers_.push_back(peer);
    std::weak_ptr<bool> alive = alive_;
    std::weak_ptr<Peer> weak = peer;
    peer->conn->start(
        [this, weak, alive](Message& m) {
          auto p = weak.lock();
          if (p && !alive.expired()) on_message(p, m);
        },
        [this, weak, alive](const std::string&) {
          auto p = weak.lock();
          if (p && !alive.expired()) on_peer_closed(p.get());
        });
  }
}

void Server::on_message(const std::shared_ptr<Peer>& peer, Message& m) {
  std::shared_ptr<Connection> conn = peer->conn;  // the reply goes out even if the peer is dropped meanwhile
  std::weak_ptr<bool> alive = alive_;
  Message reply = answer(*peer, m);
  if (alive.expired()) return;
  conn->send(reply);
}

Message Server::answer(Peer& peer, Message& m) {
  if (m.op == Op::Connect) {
    if (!same_name(m.first, app_) || !same_name(m.second, topic_))
      return Message::error(kErrNoAnswer, "no such application and topic");
    peer.connected = true;
    return Message::ok();
  }
  if (!peer.connected) return Message::error(kErrNoChannel, "no conversation is open");
  if (m.op == Op::Execute) {
    Variant cancel = owner_.fire(u"DDE_LinkExecute", {Variant(utf8_to_u16(m.first))});
    if (to_long_or_zero(cancel) != 0) return Message::error(kErrRefused, "the command was refused");
    return Message::ok();
  }
  if (m.is_reply() || m.op == Op::Update || m.op == Op::Notify || m.op == Op::Unlink)
    return Message::error(kErrWrongFormat, "not a request");
  std::optional<int16_t> index = parse_item(m.first);
  DdeLabel* label = index ? owner_.find_label(*index) : nullptr;
  if (!label) return Message::error(kErrNoData, "no such item");
  switch (m.op) {
    case Op::Request:
      return Message::data(m.first, u16_to_utf8(label->caption()));
    case Op::Poke: {
      Ref<DdeLabel> keep(label);
      keep->set_caption(utf8_to_u16(m.second), true);
      return Message::ok();
    }
    case Op::Advise: {
      Ref<DdeLabel> keep(label);
      std::weak_ptr<bool> alive = alive_;
      Variant cancel = owner_.fire(u"DDE_LinkOpen", {Variant(*index)});
      if (alive.expired()) return Message::error(kErrRefused, "the server closed");
      if (to_long_or_zero(cancel) != 0) return Message::error(kErrRefused, "the link was refused");
      peer.links[*index] = m.mode;
      return Message::data(m.first, u16_to_utf8(keep->caption()));
    }
    case Op::Unadvise: {
      if (peer.links.erase(*index)) owner_.fire(u"DDE_LinkClose", {Variant(*index)});
      return Message::ok();
    }
    default:
      return Message::error(kErrWrongFormat, "not a request");
  }
}

void Server::caption_changed(int16_t index, const std::string& text) {
  std::string item = item_name(index);
  for (auto& p : peers_) {
    auto it = p->links.find(index);
    if (it == p->links.end()) continue;
    if (it->second == kModeAutomatic) p->conn->send(Message::update(item, text));
    else p->conn->send(Message::notify(item));
  }
}

void Server::on_peer_closed(Peer* peer) {
  // Deferred: the connection is still on the call stack.
  std::weak_ptr<bool> alive = alive_;
  loop_.post([this, peer, alive] {
    if (!alive.expired()) drop_peer(peer);
  });
}

void Server::drop_peer(Peer* peer) {
  for (auto it = peers_.begin(); it != peers_.end(); ++it) {
    if (it->get() != peer) continue;
    std::map<int16_t, uint8_t> links = std::move((*it)->links);
    (*it)->conn->close();
    peers_.erase(it);
    std::weak_ptr<bool> alive = alive_;
    for (const auto& [index, mode] : links) {
      owner_.fire(u"DDE_LinkClose", {Variant(index)});
      if (alive.expired()) return;
    }
    return;
  }
}

}  // namespace qz::dde
