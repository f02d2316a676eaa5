#include "host/dde/dde_label.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "com/convert.h"
#include "com/error.h"
#include "host/dde/dde_address.h"
#include "host/dde/dde_connection.h"
#include "host/dde/dde_errors.h"
#include "host/dde/dde_link_object.h"

namespace qz {

namespace {

std::u16string error_text_of(uint32_t code) {
  switch (code) {
    case dde::kErrNoAnswer: return u"No foreign application responded to a DDE initiate";
    case dde::kErrRefused: return u"Foreign application won't perform DDE method or operation";
    case dde::kErrTimeout: return u"Timeout while waiting for DDE response";
    case dde::kErrNoData: return u"Data not provided in DDE operation";
    case dde::kErrWrongFormat: return u"Data in wrong format";
    case dde::kErrQuit: return u"Foreign application quit";
    case dde::kErrNoChannel: return u"DDE method invoked with no channel open";
    case dde::kErrBadLink: return u"Invalid DDE Link format";
  }
  return u"DDE error";
}

[[noreturn]] void raise_dde(uint32_t code) { raise(static_cast<int32_t>(code), error_text_of(code)); }

// A connected stream socket to the server of `address`, or -1.
int connect_to(const dde::LinkAddress& address) {
  std::string path = dde::socket_path(address.app, address.topic);
  sockaddr_un addr{};
  if (!dde::fill_socket_address(path, addr)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

DdeLabel::DdeLabel(DdeObject* owner, int16_t index) : owner_(owner), index_(index) {}

DdeLabel::~DdeLabel() {
  if (link_) link_->close();
}

void DdeLabel::detach() {
  owner_ = nullptr;
  if (link_) link_->close();
  link_.reset();
  link_mode_ = dde::kModeNone;
}

Variant DdeLabel::fire(std::u16string_view procedure, std::vector<Variant> extra) {
  if (!owner_) return {};
  std::vector<Variant> args;
  args.emplace_back(index_);
  for (Variant& v : extra) args.push_back(std::move(v));
  return owner_->fire(procedure, std::move(args));
}

void DdeLabel::set_caption(std::u16string text, bool from_link) {
  Ref<DdeLabel> keep(this);
  caption_ = std::move(text);
  if (owner_) owner_->caption_changed(*this);
  if (from_link) fire(u"DDE_Change");
}

int DdeLabel::timeout_ms() const {
  // Tenths of a second; -1 (or any negative value) is the longest wait.
  int32_t tenths = link_timeout_ < 0 ? 65535 : link_timeout_;
  return tenths * 100;
}

dde::Message DdeLabel::call(const dde::Message& request) {
  if (!link_ || !link_->is_open()) raise_dde(dde::kErrNoChannel);
  std::string why;
  std::shared_ptr<dde::Connection> conn = link_;
  std::optional<dde::Message> reply = conn->call(request, timeout_ms(), &why);
  if (!reply) {
    if (why == "timeout") raise_dde(dde::kErrTimeout);
    raise_dde(why.rfind("protocol", 0) == 0 ? dde::kErrWrongFormat : dde::kErrQuit);
  }
  if (reply->op == dde::Op::Error) {
    uint32_t code = reply->code ? reply->code : dde::kErrRefused;
    raise(static_cast<int32_t>(code), error_text_of(code) + u": " + utf8_to_u16(reply->first));
  }
  return std::move(*reply);
}

void DdeLabel::open_link(int32_t mode) {
  std::optional<dde::LinkAddress> address = dde::parse_link_topic(u16_to_utf8(link_topic_));
  if (!address) raise_dde(dde::kErrBadLink);
  int fd = connect_to(*address);
  if (fd < 0) raise_dde(dde::kErrNoAnswer);
  auto conn = std::make_shared<dde::Connection>(owner_ ? owner_->loop() : event_loop(), fd);
  link_ = conn;
  try {
    call(dde::Message::connect(address->app, address->topic));
    if (mode != dde::kModeManual) {
      dde::Message data = call(dde::Message::advise(u16_to_utf8(link_item_), static_cast<uint8_t>(mode)));
      if (mode == dde::kModeAutomatic) set_caption(utf8_to_u16(data.second), false);
    }
  } catch (...) {
    conn->close();
    if (link_ == conn) link_.reset();
    throw;
  }
  link_mode_ = static_cast<int16_t>(mode);
  Ref<DdeLabel> keep(this);
  // Messages go through a weak reference: the label may go before its conversation's events.
  DdeLabel* self = this;
  std::weak_ptr<dde::Connection> weak = conn;
  conn->start(
      [self, weak](dde::Message& m) {
        if (auto c = weak.lock(); c && self->link_ == c) self->on_link_message(m);
      },
      [self, weak](const std::string& why) {
        if (auto c = weak.lock(); c && self->link_ == c) self->on_link_closed(why);
      });
  if (dde::to_long_or_zero(fire(u"DDE_LinkOpen")) != 0) {
    close_link(true);
    return;
  }
  if (mode == dde::kModeAutomatic && link_ == conn) fire(u"DDE_Change");
}

void DdeLabel::close_link(bool tell_server) {
  if (!link_) return;
  std::shared_ptr<dde::Connection> conn = std::move(link_);
  link_.reset();
  bool was_linked = link_mode_ != dde::kModeNone;
  link_mode_ = dde::kModeNone;
  // Closing the socket ends the conversation and all its links; nothing more need be said.
  (void)tell_server;
  conn->close();
  if (was_linked) fire(u"DDE_LinkClose");
}

void DdeLabel::on_link_message(dde::Message& m) {
  Ref<DdeLabel> keep(this);
  switch (m.op) {
    case dde::Op::Update:
      if (link_mode_ == dde::kModeAutomatic) set_caption(utf8_to_u16(m.second), true);
      break;
    case dde::Op::Notify:
      fire(u"DDE_LinkNotify");
      break;
    case dde::Op::Unlink:
      close_link(false);
      break;
    default:
      break;  // a client is sent nothing else between replies
  }
}

void DdeLabel::on_link_closed(const std::string& why) {
  Ref<DdeLabel> keep(this);
  if (why.rfind("protocol", 0) == 0) fire(u"DDE_LinkError", {Variant(dde::kLinkErrUpdateFailed)});
  link_.reset();
  bool was_linked = link_mode_ != dde::kModeNone;
  link_mode_ = dde::kModeNone;
  if (was_linked) fire(u"DDE_LinkClose");
}

void DdeLabel::set_link_mode(int32_t mode) {
  if (mode < 0 || mode > 3) raise(380, u"Invalid property value");
  if (mode == link_mode_) return;
  if (link_) close_link(true);
  if (mode != dde::kModeNone) open_link(mode);
}

void DdeLabel::set_link_item(std::u16string item) {
  if (item == link_item_) return;
  std::u16string old = std::move(link_item_);
  link_item_ = std::move(item);
  if (!link_ || (link_mode_ != dde::kModeAutomatic && link_mode_ != dde::kModeNotify)) return;
  call(dde::Message::unadvise(u16_to_utf8(old)));
  dde::Message data = call(dde::Message::advise(u16_to_utf8(link_item_), static_cast<uint8_t>(link_mode_)));
  if (link_mode_ == dde::kModeAutomatic) set_caption(utf8_to_u16(data.second), true);
}

void DdeLabel::set_link_topic(std::u16string topic) {
  if (topic == link_topic_) return;
  link_topic_ = std::move(topic);
  // Another topic is another conversation: the old one ends.
  if (link_) close_link(true);
}

void DdeLabel::link_request() {
  if (link_mode_ == dde::kModeNone) raise_dde(dde::kErrNoChannel);
  dde::Message data = call(dde::Message::request(u16_to_utf8(link_item_)));
  set_caption(utf8_to_u16(data.second), true);
}

void DdeLabel::link_poke() {
  if (link_mode_ == dde::kModeNone) raise_dde(dde::kErrNoChannel);
  call(dde::Message::poke(u16_to_utf8(link_item_), u16_to_utf8(caption_)));
}

void DdeLabel::link_execute(const std::u16string& command) {
  if (link_mode_ == dde::kModeNone) raise_dde(dde::kErrNoChannel);
  call(dde::Message::execute(u16_to_utf8(command)));
}

void DdeLabel::define(Members<DdeLabel>& m) {
  m.getter(u"Name", [](DdeLabel&, Args) { return Variant(u"lblDDE"); });
  m.getter(u"Index", [](DdeLabel& l, Args) { return Variant(l.index()); });
  m.property(
      u"Caption", [](DdeLabel& l, Args) { return Variant(l.caption()); },
      [](DdeLabel& l, Args, const Variant& v) { l.set_caption(to_u16(v), false); });
  m.default_member(u"Caption");
  m.property(
      u"LinkTopic", [](DdeLabel& l, Args) { return Variant(l.link_topic_); },
      [](DdeLabel& l, Args, const Variant& v) { l.set_link_topic(to_u16(v)); });
  m.property(
      u"LinkItem", [](DdeLabel& l, Args) { return Variant(l.link_item_); },
      [](DdeLabel& l, Args, const Variant& v) { l.set_link_item(to_u16(v)); });
  m.property(
      u"LinkMode", [](DdeLabel& l, Args) { return Variant(l.link_mode_); },
      [](DdeLabel& l, Args, const Variant& v) { l.set_link_mode(to_long(v)); });
  m.property(
      u"LinkTimeout", [](DdeLabel& l, Args) { return Variant(static_cast<int16_t>(l.link_timeout_)); },
      [](DdeLabel& l, Args, const Variant& v) { l.link_timeout_ = to_integer(v); });
  m.method(u"LinkRequest", [](DdeLabel& l, Args) {
    l.link_request();
    return Variant();
  });
  m.method(u"LinkPoke", [](DdeLabel& l, Args) {
    l.link_poke();
    return Variant();
  });
  m.method(u"LinkExecute", [](DdeLabel& l, Args a) {
    l.link_execute(to_u16(a[0]));
    return Variant();
  });
  m.property(
      u"Tag", [](DdeLabel& l, Args) { return l.tag_; },
      [](DdeLabel& l, Args, const Variant& v) { l.tag_ = v; });
}

}  // namespace qz
