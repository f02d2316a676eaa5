// Wsk: a TCP socket control on the engine's event loop. It connects to a host, or listens and
// hands each incoming connection to the script (ConnectionRequest with a request id that any
// socket control may Accept during that event), buffers what arrives (DataArrival with the
// bytes waiting; GetData/PeekData take them as text of the ANSI code page or as bytes), sends
// without blocking (SendProgress, SendComplete) and reports the peer closing (Close) and
// failures (Error with the platform's socket error numbers).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include <QPointer>

#include "com/error.h"
#include "platform/codepage.h"
#include "platform/event_loop.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/gui_application.h"

namespace qz {

namespace {

// State values as scripts read them.
enum SocketState : int16_t {
  kClosed = 0, kOpen = 1, kListening = 2, kPending = 3, kResolving = 4, kResolved = 5, kConnecting = 6,
  kConnected = 7, kClosing = 8, kError = 9,
};
// Error numbers of the platform's socket layer.
constexpr int kErrAddressInUse = 10048, kErrConnectionRefused = 10061, kErrTimedOut = 10060,
              kErrConnectionReset = 10054, kErrHostNotFound = 11001, kErrWrongState = 40006;

int socket_error_number(int err) {
  switch (err) {
    case EADDRINUSE: return kErrAddressInUse;
    case ECONNREFUSED: return kErrConnectionRefused;
    case ETIMEDOUT: return kErrTimedOut;
    case ECONNRESET: case EPIPE: return kErrConnectionReset;
    default: return 10000 + err;
  }
}

EventLoop& loop() {
  EventLoop* l = gui_event_loop();
  return l ? *l : event_loop();
}

// Connections that arrived on a listening socket and wait for Accept during their event.
std::map<int32_t, int>& pending_requests() {
  static auto* m = new std::map<int32_t, int>();
  return *m;
}

void set_nonblocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

std::u16string ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

class SocketControl final : public NativeObject<SocketControl, QtControl> {
 public:
  static void define(Members<SocketControl>& m) {
    m.getter(u"Name", [](SocketControl& s, Args) { return Variant(std::u16string(s.kind())); });
    m.getter(u"Index", [](SocketControl& s, Args) { return Variant(s.index()); });
    m.getter(u"hWnd", [](SocketControl& s, Args) { return Variant(int32_t{s.handle()}); });
    m.getter(u"Parent", [](SocketControl& s, Args) { return s.parent_object.is_empty() ? Variant::nothing() : s.parent_object; });
    m.property(u"Tag", [](SocketControl& s, Args) { return Variant(to_str(s.tag)); },
               [](SocketControl& s, Args, const Variant& v) { s.tag = Variant(to_str(v)); });
    m.property(u"Protocol", [](SocketControl& s, Args) { return Variant(int32_t{0}); },
               [](SocketControl&, Args, const Variant& v) {
                 if (to_long(v) != 0) raise(380, u"Invalid property value");  // TCP only
               });
    m.property(u"RemoteHost", [](SocketControl& s, Args) { return Variant(s.remote_host_); },
               [](SocketControl& s, Args, const Variant& v) { s.remote_host_ = to_u16(v); });
    m.property(u"RemotePort", [](SocketControl& s, Args) { return Variant(s.remote_port_); },
               [](SocketControl& s, Args, const Variant& v) { s.remote_port_ = port_value(v); });
    m.property(u"LocalPort", [](SocketControl& s, Args) { return Variant(s.local_port()); },
               [](SocketControl& s, Args, const Variant& v) {
                 if (s.fd_ >= 0) raise(kErrWrongState, u"Wrong protocol or connection state for the requested transaction or request");
                 s.local_port_ = port_value(v);
               });
    m.getter(u"RemoteHostIP", [](SocketControl& s, Args) { return Variant(s.remote_ip_); });
    m.getter(u"LocalIP", [](SocketControl&, Args) { return Variant(std::u16string(u"127.0.0.1")); });
    m.getter(u"LocalHostName", [](SocketControl&, Args) {
      char name[256] = {};
      ::gethostname(name, sizeof name - 1);
      return Variant(ascii(name));
    });
    m.getter(u"State", [](SocketControl& s, Args) { return Variant(s.state_); });
    m.getter(u"BytesReceived", [](SocketControl& s, Args) { return Variant(static_cast<int32_t>(s.received_.size())); });
    m.getter(u"SocketHandle", [](SocketControl& s, Args) { return Variant(int32_t{s.fd_}); });
    m.method(u"Connect", [](SocketControl& s, Args a) {
      if (a.has(0)) s.remote_host_ = to_u16(a[0]);
      if (a.has(1)) s.remote_port_ = port_value(a[1]);
      s.connect();
      return Variant();
    });
    m.method(u"Listen", [](SocketControl& s, Args) {
      s.listen();
      return Variant();
    });
    m.method(u"Bind", [](SocketControl& s, Args a) {
      if (a.has(0)) s.local_port_ = port_value(a[0]);
      return Variant();
    });
    m.method(u"Accept", [](SocketControl& s, Args a) {
      s.accept(to_long(a[0]));
      return Variant();
    });
    m.method(u"SendData", [](SocketControl& s, Args a) {
      s.send(a[0].deref());
      return Variant();
    });
    m.method(u"GetData", [](SocketControl& s, Args a) { return s.get_data(a, true); });
    m.method(u"PeekData", [](SocketControl& s, Args a) { return s.get_data(a, false); });
    m.method(u"Close", [](SocketControl& s, Args) {
      s.close();
      return Variant();
    });
  }
  std::u16string type_name() const override { return u"Winsock"; }

  SocketControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<SocketControl, QtControl>(kind, index) {
    attach(new QWidget(parent));
  }
  ~SocketControl() override { close(); }
  void destroy() override {
    close();
    QtControl::destroy();
  }

 private:
  static int32_t port_value(const Variant& v) {
    int32_t p = to_long(v);
    if (p < 0 || p > 65535) raise(380, u"Invalid property value");
    return p;
  }

  int32_t local_port() const {
    if (fd_ < 0) return local_port_;
    sockaddr_in a{};
    socklen_t n = sizeof a;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n) != 0) return local_port_;
    return ntohs(a.sin_port);
  }

  void require_closed() const {
    if (fd_ >= 0) raise(kErrWrongState, u"Wrong protocol or connection state for the requested transaction or request");
  }

  void connect() {
    require_closed();
    std::string host = encode(ansi_code_page(), remote_host_);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    state_ = kResolving;
    if (host.empty() || ::getaddrinfo(host.c_str(), std::to_string(remote_port_).c_str(), &hints, &found) != 0 || !found) {
      state_ = kError;
      report_error(kErrHostNotFound, u"Host not found");
      return;
    }
    sockaddr_in to = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
    ::freeaddrinfo(found);
    char ip[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &to.sin_addr, ip, sizeof ip);
    remote_ip_ = ascii(ip);
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) raise(7, u"Out of memory");
    state_ = kConnecting;
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
      int err = errno;
      drop_socket();
      state_ = kError;
      report_error(socket_error_number(err), ascii(std::strerror(err)));
      return;
    }
    watch(POLLOUT);
  }

  void listen() {
    require_closed();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) raise(7, u"Out of memory");
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_ANY);
    at.sin_port = htons(static_cast<uint16_t>(local_port_));
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(fd_, 16) != 0) {
      int err = errno;
      drop_socket();
      raise(socket_error_number(err), u"Address in use");
    }
    state_ = kListening;
    watch(POLLIN);
  }

  void accept(int32_t request) {
    auto& pending = pending_requests();
    auto it = pending.find(request);
    if (it == pending.end()) raise(kErrWrongState, u"Wrong protocol or connection state for the requested transaction or request");
    close();
    fd_ = it->second;
    pending.erase(it);
    set_nonblocking(fd_);
    sockaddr_in peer{};
    socklen_t n = sizeof peer;
    if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &n) == 0) {
      char ip[INET_ADDRSTRLEN] = {};
      ::inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
      remote_ip_ = remote_host_ = ascii(ip);
      remote_port_ = ntohs(peer.sin_port);
    }
    state_ = kConnected;
    watch(POLLIN);
  }

  void send(const Variant& data) {
    if (state_ != kConnected) raise(kErrWrongState, u"Wrong protocol or connection state for the requested transaction or request");
    if (const ArrayRep* rep = data.is_array() ? data.as_array() : nullptr; rep && rep->elem == VT::Byte) {
      outgoing_.append(rep->bytes.begin(), rep->bytes.end());
    } else {
      outgoing_ += encode(ansi_code_page(), to_u16(data));
    }
    watch(POLLIN | POLLOUT);
  }

  // GetData(data, [type], [maxLen]): text (vbString, the default) or bytes (vbArray + vbByte).
  Variant get_data(Args a, bool take) {
    int32_t type = a.has(1) ? to_long(a[1]) : 8;
    size_t n = received_.size();
    if (a.has(2)) n = std::min<size_t>(n, static_cast<size_t>(std::max<int32_t>(0, to_long(a[2]))));
    std::string bytes = received_.substr(0, n);
    if (take) received_.erase(0, n);
    if (a.size() > 0) {
      a.ref(0) = type == 0x2011 ? Variant::byte_array(bytes.data(), bytes.size())
                                : Variant(decode(ansi_code_page(), bytes));
    }
    return Variant();
  }

  void close() {
    for (auto it = pending_requests().begin(); it != pending_requests().end();) {
      if (owned_requests_.count(it->first)) {
        ::close(it->second);
        it = pending_requests().erase(it);
      } else {
        ++it;
      }
    }
    owned_requests_.clear();
    drop_socket();
    outgoing_.clear();
    state_ = kClosed;
  }

  void drop_socket() {
    if (watch_) loop().unwatch_fd(watch_);
    watch_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void watch(short events) {
    if (watch_) {
      loop().set_fd_events(watch_, events);
      return;
    }
    QPointer<QWidget> alive(widget());
    watch_ = loop().watch_fd(fd_, events, [this, alive](short ready) {
      if (alive) on_ready(ready);
    });
  }

  void report_error(int number, std::u16string description) {
    std::vector<Variant> args{Variant(static_cast<int16_t>(number)), Variant(std::move(description)),
                              Variant(int32_t{number})};
    raise_event(u"Error", args);
  }

  void on_ready(short ready) {
    Ref<SocketControl> keep(this);
    if (state_ == kListening) {
      int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) return;
      int32_t request = client;
      pending_requests()[request] = client;
      owned_requests_.insert(request);
      std::vector<Variant> args{Variant(request)};
      raise_event(u"ConnectionRequest", args);
      // Not accepted during its event: the connection is refused.
      auto it = pending_requests().find(request);
      if (it != pending_requests().end()) {
        ::close(it->second);
        pending_requests().erase(it);
      }
      owned_requests_.erase(request);
      return;
    }
    if (state_ == kConnecting) {
      int err = 0;
      socklen_t n = sizeof err;
      ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &n);
      if (err != 0) {
        drop_socket();
        state_ = kError;
        report_error(socket_error_number(err), ascii(std::strerror(err)));
        return;
      }
      state_ = kConnected;
      watch(POLLIN);
      raise_event(u"Connect");
      return;
    }
    if (state_ != kConnected) return;
    if (ready & POLLOUT) flush();
    if (fd_ < 0 || !(ready & (POLLIN | POLLHUP | POLLERR))) return;
    char buf[65536];
    ssize_t got = ::recv(fd_, buf, sizeof buf, 0);
    if (got > 0) {
      received_.append(buf, static_cast<size_t>(got));
      std::vector<Variant> args{Variant(static_cast<int32_t>(received_.size()))};
      raise_event(u"DataArrival", args);
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
      int err = got == 0 ? 0 : errno;
      drop_socket();
      state_ = kClosing;
      if (err != 0 && err != ECONNRESET) report_error(socket_error_number(err), ascii(std::strerror(err)));
      else raise_event(u"Close");
    }
  }

  void flush() {
    if (outgoing_.empty()) return;
    ssize_t sent = ::send(fd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EINTR) return;
      int err = errno;
      drop_socket();
      state_ = kError;
      report_error(socket_error_number(err), ascii(std::strerror(err)));
      return;
    }
    outgoing_.erase(0, static_cast<size_t>(sent));
    std::vector<Variant> progress{Variant(static_cast<int32_t>(sent)), Variant(static_cast<int32_t>(outgoing_.size()))};
    raise_event(u"SendProgress", progress);
    if (outgoing_.empty() && fd_ >= 0) {
      watch(POLLIN);
      raise_event(u"SendComplete");
    }
  }

  int fd_ = -1;
  EventLoop::WatchId watch_ = 0;
  int16_t state_ = kClosed;
  std::u16string remote_host_, remote_ip_;
  int32_t remote_port_ = 0, local_port_ = 0;
  std::string received_, outgoing_;
  std::set<int32_t> owned_requests_;
};

}  // namespace

Ref<QtControl> make_socket_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new SocketControl(kind, index, parent));
}

}  // namespace qz
