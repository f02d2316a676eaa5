// Every HTTP member runs under a resume-next rule: a failure gives "", 0 or False and
// nothing is raised. Waits end at the latest when nothing has arrived for three seconds,
// and a single SockGet never waits longer than five minutes in all.
#include "services/http/http_object.h"

#include <poll.h>

#include <chrono>
#include <memory>

#include "com/convert.h"
#include "platform/codepage.h"
#include "platform/event_loop.h"
#include "services/http/http_receive_state.h"
#include "services/http/tcp_connection.h"

namespace qz {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSilenceTimeout = std::chrono::milliseconds(3000);
constexpr auto kLongestReply = std::chrono::minutes(5);

// The connection and the reply that all HTTP objects share.
class HttpChannel {
 public:
  HttpChannel()
      : connection({[this](std::string_view bytes) { on_data(bytes); }, [this] { on_closed(); }}) {}

  static std::shared_ptr<HttpChannel> shared() {
    static std::weak_ptr<HttpChannel> current;
    auto ch = current.lock();
    if (!ch) {
      ch = std::make_shared<HttpChannel>();
      current = ch;
    }
    return ch;
  }

  TcpConnection connection;
  HttpReceiveState reply;
  Clock::time_point last_arrival = Clock::now();

 private:
  void on_data(std::string_view bytes) {
    last_arrival = Clock::now();
    reply.add_chunk(decode(ansi_code_page(), bytes));
  }
  // Nothing more can arrive: waiting for the silence time-out would change nothing.
  void on_closed() { reply.finish(); }
};

// Runs the event loop until `stop` says so or `deadline()` passes; then the reply counts as
// complete, as when the time-out fires.
template <class Stop, class Deadline>
void pump_until(HttpChannel& ch, Stop stop, Deadline deadline, int poll_ms) {
  EventLoop& loop = event_loop();
  while (true) {
    loop.do_events();
    if (stop()) return;
    if (Clock::now() >= deadline()) {
      ch.reply.finish();
      return;
    }
    // Wake as soon as the socket has something; otherwise look at the loop again shortly.
    if (ch.connection.fd() >= 0) {
      pollfd p{ch.connection.fd(), POLLIN, 0};
      ::poll(&p, 1, poll_ms);
    } else {
      ::poll(nullptr, 0, poll_ms);
    }
  }
}

// Script text as the bytes to send: a byte string as it is, other text through the ANSI page.
std::string request_bytes(const Variant& v) {
  Str s = to_str(v);
  if (s.byte_size() % 2) return std::string(reinterpret_cast<const char*>(s.bytes()), s.byte_size());
  return encode(ansi_code_page(), s.view());
}

class HttpObject : public NativeObject<HttpObject> {
 public:
  HttpObject() : channel_(HttpChannel::shared()) { channel_->reply.set_max_size(0); }
  std::u16string type_name() const override { return u"clsHTTP"; }

  static void define(Members<HttpObject>& m) {
    m.method(u"SockOpen", [](HttpObject& h, Args a) {
      std::shared_ptr<HttpChannel> ch = h.channel_;
      try {
        std::string host = u16_to_utf8(to_u16(a[0]));
        int32_t port = to_long(a[1]);
        ch->connection.connect(host, port);
        ch->reply.reset();
        auto deadline = Clock::now() + kSilenceTimeout;
        pump_until(
            *ch,
            [&] {
              SocketState s = ch->connection.state();
              return s == SocketState::Connected || s == SocketState::Error || s == SocketState::Closed ||
                     ch->reply.done();
            },
            [&] { return deadline; }, 1);
      } catch (...) {
      }
      ch->reply.reset();
      return Variant();
    });
    m.method(u"SockState", [](HttpObject& h, Args) {
      return Variant(static_cast<int16_t>(h.channel_->connection.state()));
    });
    m.method(u"SockGet", [](HttpObject& h, Args a) {
      std::shared_ptr<HttpChannel> ch = h.channel_;
      if (ch->connection.state() != SocketState::Connected) return Variant(Str());
      try {
        std::string bytes = request_bytes(a[0]);
        ch->reply.reset();
        auto started = Clock::now();
        ch->last_arrival = started;
        ch->connection.send(bytes);
        pump_until(
            *ch, [&] { return ch->reply.done(); },
            [&] { return std::min(ch->last_arrival + kSilenceTimeout, started + kLongestReply); }, 5);
      } catch (...) {
      }
      const HttpReceiveState& r = ch->reply;
      return Variant(r.body().empty() ? r.header() : r.body());
    });
    m.method(u"SockSend", [](HttpObject& h, Args a) {
      HttpChannel& ch = *h.channel_;
      if (ch.connection.state() != SocketState::Connected) return Variant();
      try {
        std::string bytes = request_bytes(a[0]);
        ch.reply.reset();
        ch.last_arrival = Clock::now();
        ch.connection.send(bytes);
      } catch (...) {
      }
      return Variant();
    });
    m.method(u"SockBytesReceived", [](HttpObject& h, Args) { return Variant(h.channel_->connection.bytes_waiting()); });
    m.method(u"SockEnd", [](HttpObject& h, Args) { return Variant(h.channel_->reply.done()); });
    m.method(u"SockData", [](HttpObject& h, Args) { return Variant(h.channel_->reply.body()); });
    m.method(u"SockHeader", [](HttpObject& h, Args) { return Variant(h.channel_->reply.header()); });
    m.method(u"SockClose", [](HttpObject& h, Args) {
      h.channel_->connection.close();
      h.channel_->reply.reset();
      return Variant();
    });
    m.letter(u"SockMaxSize", [](HttpObject& h, Args, const Variant& v) {
      try {
        h.channel_->reply.set_max_size(to_long(v));
      } catch (...) {
      }
    });
  }

 private:
  std::shared_ptr<HttpChannel> channel_;
};

// sys.Net: nothing but its HTTP member, which makes an HTTP object on its first read (and
// again after the script set it to Nothing).
class NetObject : public NativeObject<NetObject> {
 public:
  std::u16string type_name() const override { return u"clsNet"; }

  static void define(Members<NetObject>& m) {
    m.getter(u"HTTP", [](NetObject& n, Args) {
      const Variant& held = n.http_.deref();
      if (held.is_object() && held.as_object() == nullptr) n.http_ = Variant();
      if (n.http_.is_empty()) n.http_ = Variant(new_http_object());
      return n.http_;
    });
    m.letter(u"HTTP", [](NetObject& n, Args, const Variant& v) { n.http_ = v.deref(); });
    m.setter(u"HTTP", [](NetObject& n, Args, const Variant& v) { n.http_ = v.deref(); });
  }

 private:
  Variant http_;
};

}  // namespace

Ref<Object> new_http_object() { return make_ref<HttpObject>(); }
Ref<Object> new_net_object() { return make_ref<NetObject>(); }

Ref<Object> create_net_service(EngineLink&) { return new_net_object(); }

}  // namespace qz
