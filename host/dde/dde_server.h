// The serving side of the DDE link protocol: a listening socket for this program's topic and
// one conversation per client, each with the items (labels) it holds links on.
#pragma once
#include <list>
#include <map>
#include <memory>
#include <string>

#include "host/dde/dde_connection.h"
#include "platform/event_loop.h"

namespace qz {
class DdeObject;
}

namespace qz::dde {

class Server {
 public:
  // Conversations beyond this many are refused at once.
  static constexpr size_t kMaxPeers = 128;

  explicit Server(DdeObject& owner);
  ~Server();  // closes every conversation (without events) and removes the socket
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds the socket for `app`/`topic` (UTF-8). False with a reason when another live
  // program serves it or the socket cannot be made.
  bool listen(const std::string& app, const std::string& topic, std::string* why);

  // Label `index` has new text: automatic links get it, notify links hear of it.
  void caption_changed(int16_t index, const std::string& text);

  const std::string& path() const { return path_; }

 private:
  struct Peer {
    std::shared_ptr<Connection> conn;
    bool connected = false;
    std::map<int16_t, uint8_t> links;  // label index -> link mode
  };
  void on_accept();
  void on_message(const std::shared_ptr<Peer>& peer, Message& m);
  void on_peer_closed(Peer* peer);
  Message answer(Peer& peer, Message& m);
  void drop_peer(Peer* peer);

  DdeObject& owner_;
  EventLoop& loop_;
  int fd_ = -1;
  EventLoop::WatchId watch_ = 0;
  std::string path_;
  std::string app_;
  std::string topic_;
  std::list<std::shared_ptr<Peer>> peers_;  // shared: a script handler may drop one mid-answer
  // Cleared by the destructor: a script handler that runs from a message may close the server.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qz::dde
