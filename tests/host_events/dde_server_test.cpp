// The DDE server on a real socket, driven by a raw client: requests reach the labels and the
// script events, refusals come back as errors, and broken input drops only that conversation.
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "host/dde/dde_address.h"
#include "host/dde/dde_label.h"
#include "host/dde/dde_link_object.h"
#include "host/dde/dde_protocol.h"

namespace qz {
namespace {

class DdeServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qz-dde-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    loop_ = make_poll_event_loop();
    dde_ = make_ref<DdeObject>(*loop_, u"Quazel");
    dde_->set_forward([this](std::u16string_view proc, int16_t module, std::vector<Variant>& args) {
      std::u16string line(proc);
      for (const Variant& a : args) line += u" " + to_u16(a);
      events_.push_back(u16_to_utf8(line) + " @" + std::to_string(module));
      return refuse_ ? Variant(int16_t{1}) : Variant();
    });
    dde_->control(1)->set_caption(u"один", false);
    dde_->set_server_name(u"Calc");
  }
  void TearDown() override {
    for (int fd : fds_) ::close(fd);
    dde_->shutdown();
    dde_ = nullptr;
    std::system(("rm -rf " + dir_).c_str());
    ::unsetenv("XDG_RUNTIME_DIR");
  }

  int connect_client() {
    sockaddr_un addr{};
    EXPECT_TRUE(dde::fill_socket_address(dde::socket_path("Quazel", "Calc"), addr));
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fds_.push_back(fd);
    return fd;
  }

  // Sends raw bytes and runs the server until it answers; nothing when it closed instead.
  std::optional<dde::Message> exchange(int fd, const std::string& bytes, bool* closed = nullptr) {
    EXPECT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
    dde::FrameReader reader;
    for (int i = 0; i < 200; ++i) {
      loop_->do_events();
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0) continue;
      char buf[4096];
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) {
        if (closed) *closed = true;
        return std::nullopt;
      }
      reader.append(std::string_view(buf, static_cast<size_t>(n)));
      dde::Message m;
      if (reader.next(m) == dde::FrameReader::Status::Frame) return m;
    }
    return std::nullopt;
  }
  std::optional<dde::Message> ask(int fd, const dde::Message& m) { return exchange(fd, dde::encode(m)); }

  std::string dir_;
  std::unique_ptr<EventLoop> loop_;
  Ref<DdeObject> dde_;
  std::vector<std::string> events_;
  std::vector<int> fds_;
  bool refuse_ = false;
};

TEST_F(DdeServerTest, ConversationReachesLabelsAndEvents) {
  int fd = connect_client();
  auto r = ask(fd, dde::Message::request("lblDDE(1)"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Error) << "a request before Connect";
  EXPECT_EQ(r->code, 293u);

  r = ask(fd, dde::Message::connect("QUAZEL", "calc"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Ok);

  r = ask(fd, dde::Message::request("lblDDE(1)"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Data);
  EXPECT_EQ(r->second, "один");

  r = ask(fd, dde::Message::request("lblDDE(9)"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 289u) << "a label never made is no item";

  dde_->cur_module = 3;
  r = ask(fd, dde::Message::poke("lblDDE(1)", "two"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Ok);
  EXPECT_EQ(dde_->find_label(1)->caption(), u"two");

  r = ask(fd, dde::Message::advise("lblDDE(1)", dde::kModeAutomatic));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Data);
  EXPECT_EQ(r->second, "two");

  // The script changes the text: the automatic link hears it.
  dde_->control(1)->set_caption(u"three", false);
  r = exchange(fd, "");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Update);
  EXPECT_EQ(r->first, "lblDDE(1)");
  EXPECT_EQ(r->second, "three");

  r = ask(fd, dde::Message::execute("go"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Ok);

  ::close(fd);
  fds_.clear();
  for (int i = 0; i < 20; ++i) loop_->do_events();
  EXPECT_EQ(events_, (std::vector<std::string>{"DDE_Change 1 @3", "DDE_LinkOpen 1 @3", "DDE_LinkExecute go @3",
                                               "DDE_LinkClose 1 @3"}));
}

TEST_F(DdeServerTest, RefusalsComeBackAsErrors) {
  int fd = connect_client();
  ASSERT_TRUE(ask(fd, dde::Message::connect("Quazel", "Calc")));
  refuse_ = true;
  auto r = ask(fd, dde::Message::advise("lblDDE(1)", dde::kModeNotify));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 285u);
  r = ask(fd, dde::Message::execute("x"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 285u);
  // A refused link is no link: the text changes without a Notify.
  dde_->control(1)->set_caption(u"new", false);
  r = ask(fd, dde::Message::request("lblDDE(1)"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->op, dde::Op::Data);
}

TEST_F(DdeServerTest, WrongNamesAreRefused) {
  int fd = connect_client();
  auto r = ask(fd, dde::Message::connect("Other", "Calc"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->code, 282u);
}

TEST_F(DdeServerTest, BrokenInputDropsOnlyThatConversation) {
  const std::string bad[] = {
      std::string("\xff\xff\xff\xff", 4),             // length far over the limit
      std::string("\x00\x00\x00\x00", 4),             // empty frame
      std::string("\x05\x00\x00\x00\x04\xff\xff\xff\x7f", 9),  // text length past the body
      std::string("\x01\x00\x00\x00\x55", 5),         // unknown operation
  };
  int good = connect_client();
  ASSERT_TRUE(ask(good, dde::Message::connect("Quazel", "Calc")));
  for (const std::string& bytes : bad) {
    int fd = connect_client();
    bool closed = false;
    EXPECT_FALSE(exchange(fd, bytes, &closed));
    EXPECT_TRUE(closed);
  }
  auto r = ask(good, dde::Message::request("lblDDE(1)"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->second, "один");
}

TEST_F(DdeServerTest, TopicServedOnceAndStaleSocketTakenOver) {
  Ref<DdeObject> other = make_ref<DdeObject>(*loop_, u"Quazel");
  try {
    other->set_server_name(u"calc");
    ADD_FAILURE() << "a live topic was served twice";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 70);
  }
  EXPECT_EQ(other->server_name(), u"");
  // A socket file nobody listens on (a program that died) is taken over.
  std::string path = dde::socket_path("Quazel", "Stale");
  sockaddr_un addr{};
  ASSERT_TRUE(dde::fill_socket_address(path, addr));
  int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(s);
  other->set_server_name(u"Stale");
  EXPECT_EQ(other->server_name(), u"Stale");
  other->set_server_name(u"");
  EXPECT_NE(::access(path.c_str(), F_OK), 0) << "the socket file goes with the server";
}

}  // namespace
}  // namespace qz
