// The DDE link protocol's framing and names: every message survives a round trip in any
// delivery split, and malformed bytes are refused without reading past them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host/dde/dde_address.h"
#include "host/dde/dde_item.h"
#include "host/dde/dde_protocol.h"

namespace qz::dde {
namespace {

std::string le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

std::string frame(const std::string& body) { return le32(static_cast<uint32_t>(body.size())) + body; }

TEST(DdeProtocol, EveryOperationRoundTripsThroughAnySplit) {
  const Message all[] = {
      Message::connect("Quazel", "Calc"), Message::advise("lblDDE(1)", kModeAutomatic),
      Message::advise("lblDDE(2)", kModeNotify), Message::unadvise("lblDDE(1)"), Message::request("x"),
      Message::poke("lblDDE(3)", "тест\r\n\x01"), Message::execute(""), Message::ok(),
      Message::error(285, "refused"), Message::data("i", std::string(70000, 'v')), Message::update("i", ""),
      Message::notify("i"), Message::unlink("i"),
  };
  std::string stream;
  for (const Message& m : all) stream += encode(m);
  for (size_t chunk : {size_t{1}, size_t{3}, size_t{4096}, stream.size()}) {
    FrameReader reader;
    size_t got = 0;
    for (size_t at = 0; at < stream.size(); at += chunk) {
      reader.append(std::string_view(stream).substr(at, chunk));
      Message m;
      while (reader.next(m) == FrameReader::Status::Frame) {
        ASSERT_LT(got, std::size(all));
        const Message& want = all[got++];
        EXPECT_EQ(m.op, want.op);
        EXPECT_EQ(m.first, want.first);
        EXPECT_EQ(m.second, want.second);
        EXPECT_EQ(m.code, want.code);
        EXPECT_EQ(m.mode, want.mode);
      }
    }
    EXPECT_EQ(got, std::size(all)) << "chunk " << chunk;
    EXPECT_EQ(reader.buffered(), 0u);
  }
}

TEST(DdeProtocol, MalformedFramesBreakTheStream) {
  const std::string request = "\x04";  // Request: one text field follows
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"zero length", le32(0)},
      {"length over the limit", le32(kMaxBody + 1) + "x"},
      {"length 0xFFFFFFFF", le32(0xFFFFFFFFu)},
      {"unknown operation", frame("\x7f")},
      {"text length past the body", frame(request + le32(10) + "abc")},
      {"text length 0xFFFFFFFF", frame(request + le32(0xFFFFFFFFu))},
      {"text length cut short", frame(request + "\x01\x00")},
      {"bytes after the last field", frame(request + le32(1) + "ab")},
      {"invalid UTF-8", frame(request + le32(2) + "\xC3\x28")},
      {"advise without mode", frame(std::string("\x02") + le32(1) + "a")},
      {"advise with manual mode", frame(std::string("\x02") + le32(1) + "a" + "\x02")},
      {"error without code", frame("\x82\x01")},
      {"ok with a payload", frame(std::string("\x81") + "x")},
  };
  for (const Case& c : cases) {
    FrameReader reader;
    reader.append(c.bytes);
    Message m;
    std::string why;
    EXPECT_EQ(reader.next(m, &why), FrameReader::Status::Broken) << c.name;
    EXPECT_FALSE(why.empty()) << c.name;
    // Broken stays broken, whatever follows.
    reader.append(encode(Message::ok()));
    EXPECT_EQ(reader.next(m), FrameReader::Status::Broken) << c.name;
  }
}

TEST(DdeProtocol, IncompleteFrameWaitsForTheRest) {
  std::string f = encode(Message::poke("lblDDE(1)", "value"));
  FrameReader reader;
  reader.append(f.substr(0, f.size() - 1));
  Message m;
  EXPECT_EQ(reader.next(m), FrameReader::Status::NeedMore);
  reader.append(f.substr(f.size() - 1));
  EXPECT_EQ(reader.next(m), FrameReader::Status::Frame);
  EXPECT_EQ(m.second, "value");
}

TEST(DdeProtocol, TextTooLongToSendGivesNoFrame) {
  EXPECT_TRUE(encode(Message::data("i", std::string(kMaxBody, 'x'))).empty());
  EXPECT_FALSE(encode(Message::data("i", std::string(kMaxBody - 20, 'x'))).empty());
}

TEST(DdeNames, Items) {
  struct {
    const char* text;
    int want;  // -1: not an item
  } cases[] = {
      {"lblDDE(0)", 0}, {"LBLdde( 12 )", 12}, {"lblDDE", 0}, {"lblDDE(32767)", 32767}, {"lblDDE(32768)", -1},
      {"lblDDE()", -1}, {"lblDDE(-1)", -1}, {"lblDDE(1", -1}, {"lblDDEx", -1}, {"Label1", -1}, {"", -1},
      {"lblDDE(99999999)", -1},
  };
  for (const auto& c : cases) {
    std::optional<int16_t> got = parse_item(c.text);
    if (c.want < 0) EXPECT_FALSE(got) << c.text;
    else EXPECT_EQ(got.value_or(-1), c.want) << c.text;
  }
  EXPECT_EQ(parse_item(item_name(7)).value_or(-1), 7);
}

TEST(DdeNames, LinkTopics) {
  auto a = parse_link_topic("Quazel|Calc|x");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->app, "Quazel");
  EXPECT_EQ(a->topic, "Calc|x");
  for (const char* bad : {"Quazel", "|Calc", "Quazel|", ""}) EXPECT_FALSE(parse_link_topic(bad)) << bad;
}

TEST(DdeNames, SocketPaths) {
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  // Case does not matter; anything outside the plain set is escaped, so no name makes a folder.
  EXPECT_EQ(socket_path("Quazel", "Calc"), "/run/user/1000/quazel/dde/quazel|calc");
  EXPECT_EQ(socket_path("QUAZEL", "CALC"), socket_path("quazel", "calc"));
  EXPECT_EQ(socket_path("a", "../x y"), "/run/user/1000/quazel/dde/a|..%2Fx%20y");
  EXPECT_EQ(socket_path("a", "я"), "/run/user/1000/quazel/dde/a|%D1%8F");
  // Too long for a socket address: a fixed-length hash name, still told apart by topic.
  std::string long_a = socket_path("a", std::string(200, 't'));
  std::string long_b = socket_path("a", std::string(201, 't'));
  EXPECT_LT(long_a.size(), sizeof(sockaddr_un{}.sun_path));
  EXPECT_NE(long_a, long_b);
  ::setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(socket_folder().rfind("/tmp/quazel-", 0), 0u);
  ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace qz::dde
