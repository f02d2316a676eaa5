// The DDE link protocol: how two quazel processes hold DDE conversations over a Unix domain
// stream socket. The server is the program whose sys.DDE.ServerName (the topic) is set; a
// client is a program whose sys.DDE.ControlDDE(n) label links to it (LinkTopic "App|Topic",
// LinkItem, LinkMode).
//
// Where the socket lives: $XDG_RUNTIME_DIR/quazel/dde/<app>|<topic>, or, without a usable
// XDG_RUNTIME_DIR, /tmp/quazel-<uid>/dde/<app>|<topic> (folders made with mode 0700; see
// dde_address.h for how the names are written).
//
// Framing: every message is a frame
//     u32 little-endian body length N (1 .. kMaxBody)   then N body bytes
// and a body is one operation byte followed by its fields. A text field is a u32
// little-endian byte count and that many bytes of UTF-8; a code is a u32 little-endian; a mode
// is one byte. Every length is checked against what is left of the body; a body with bytes
// after its last field, a length past the end, invalid UTF-8, an unknown operation or a frame
// longer than kMaxBody is a protocol error, and the connection is dropped.
//
// Operations (requests from the client; each gets exactly one reply, in order):
//     Connect  app, topic      the first message: opens the conversation     -> Ok | Error
//     Advise   item, mode      link open: mode 1 automatic, 3 notify          -> Data | Error
//     Unadvise item            link close                                      -> Ok
//     Request  item            read the item's text                            -> Data | Error
//     Poke     item, value     write the item's text (the server's Change)     -> Ok | Error
//     Execute  command         run a command (the server's DDE_LinkExecute)    -> Ok | Error
// Replies:  Ok;  Error code, text;  Data item, value.
// Sent by the server at any time, between replies (never inside one):
//     Update   item, value     an automatic link's new text (the client's Change)
//     Notify   item            a notify link's text changed (the client's LinkNotify)
//     Unlink   item            the server closed the item's link (the client's LinkClose)
// Closing the socket ends the conversation and every link on it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qz::dde {

inline constexpr uint32_t kMaxBody = 1u << 20;  // 1 MiB: a label's text is never near it

enum class Op : uint8_t {
  Connect = 0x01,
  Advise = 0x02,
  Unadvise = 0x03,
  Request = 0x04,
  Poke = 0x05,
  Execute = 0x06,
  Ok = 0x81,
  Error = 0x82,
  Data = 0x83,
  Update = 0x90,
  Notify = 0x91,
  Unlink = 0x92,
};

// Link modes as the label's LinkMode gives them.
enum LinkMode : uint8_t { kModeNone = 0, kModeAutomatic = 1, kModeManual = 2, kModeNotify = 3 };

// One decoded message; fields an operation does not have stay empty.
struct Message {
  Op op = Op::Ok;
  std::string first;   // app, item or command (Error: its text)
  std::string second;  // topic or value
  uint32_t code = 0;   // Error: the error number
  uint8_t mode = 0;    // Advise: the link mode

  static Message connect(std::string app, std::string topic);
  static Message advise(std::string item, uint8_t mode);
  static Message unadvise(std::string item);
  static Message request(std::string item);
  static Message poke(std::string item, std::string value);
  static Message execute(std::string command);
  static Message ok();
  static Message error(uint32_t code, std::string text);
  static Message data(std::string item, std::string value);
  static Message update(std::string item, std::string value);
  static Message notify(std::string item);
  static Message unlink(std::string item);

  bool is_reply() const { return op == Op::Ok || op == Op::Error || op == Op::Data; }
};

// The whole frame (length prefix included). A text field longer than the body allows makes
// the frame unsendable: the result is empty then.
std::string encode(const Message& m);

// Decodes one body (without its length prefix). On failure returns nothing and says why.
std::optional<Message> decode_body(std::string_view body, std::string* why = nullptr);

// Collects bytes as they arrive and cuts them into frames.
class FrameReader {
 public:
  enum class Status { NeedMore, Frame, Broken };
  void append(std::string_view bytes) { buffer_.append(bytes); }
  // Frame: `out` holds the next message. Broken: the stream is unusable (bad length or body);
  // `why` says how. It stays broken.
  Status next(Message& out, std::string* why = nullptr);
  size_t buffered() const { return buffer_.size() - pos_; }

 private:
  std::string buffer_;
  size_t pos_ = 0;
  bool broken_ = false;
};

}  // namespace qz::dde
