#include "host/dde/dde_protocol.h"

#include "platform/codepage.h"

namespace qz::dde {

namespace {

// Which fields follow the operation byte.
struct Layout {
  bool code = false;    // u32 before the texts (Error)
  int texts = 0;        // how many text fields
  bool mode = false;    // one byte after the texts (Advise)
};

std::optional<Layout> layout_of(uint8_t op) {
  switch (static_cast<Op>(op)) {
    case Op::Connect: return Layout{false, 2, false};
    case Op::Advise: return Layout{false, 1, true};
    case Op::Unadvise: return Layout{false, 1, false};
    case Op::Request: return Layout{false, 1, false};
    case Op::Poke: return Layout{false, 2, false};
    case Op::Execute: return Layout{false, 1, false};
    case Op::Ok: return Layout{false, 0, false};
    case Op::Error: return Layout{true, 1, false};
    case Op::Data: return Layout{false, 2, false};
    case Op::Update: return Layout{false, 2, false};
    case Op::Notify: return Layout{false, 1, false};
    case Op::Unlink: return Layout{false, 1, false};
  }
  return std::nullopt;
}

void put_u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t get_u32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
  return v;
}

bool fail(std::string* why, const char* text) {
  if (why) *why = text;
  return false;
}

Message make(Op op, std::string first = {}, std::string second = {}) {
  Message m;
  m.op = op;
  m.first = std::move(first);
  m.second = std::move(second);
  return m;
}

}  // namespace

Message Message::connect(std::string app, std::string topic) { return make(Op::Connect, std::move(app), std::move(topic)); }
Message Message::advise(std::string item, uint8_t mode) {
  Message m = make(Op::Advise, std::move(item));
  m.mode = mode;
  return m;
}
Message Message::unadvise(std::string item) { return make(Op::Unadvise, std::move(item)); }
Message Message::request(std::string item) { return make(Op::Request, std::move(item)); }
Message Message::poke(std::string item, std::string value) { return make(Op::Poke, std::move(item), std::move(value)); }
Message Message::execute(std::string command) { return make(Op::Execute, std::move(command)); }
Message Message::ok() { return make(Op::Ok); }
Message Message::error(uint32_t code, std::string text) {
  Message m = make(Op::Error, std::move(text));
  m.code = code;
  return m;
}
Message Message::data(std::string item, std::string value) { return make(Op::Data, std::move(item), std::move(value)); }
Message Message::update(std::string item, std::string value) { return make(Op::Update, std::move(item), std::move(value)); }
Message Message::notify(std::string item) { return make(Op::Notify, std::move(item)); }
Message Message::unlink(std::string item) { return make(Op::Unlink, std::move(item)); }

std::string encode(const Message& m) {
  std::optional<Layout> layout = layout_of(static_cast<uint8_t>(m.op));
  if (!layout) return {};
  std::string body;
  body.push_back(static_cast<char>(m.op));
  if (layout->code) put_u32(body, m.code);
  const std::string* texts[2] = {&m.first, &m.second};
  for (int i = 0; i < layout->texts; ++i) {
    if (texts[i]->size() > kMaxBody) return {};
    put_u32(body, static_cast<uint32_t>(texts[i]->size()));
    body += *texts[i];
  }
  if (layout->mode) body.push_back(static_cast<char>(m.mode));
  if (body.size() > kMaxBody) return {};
  std::string frame;
  frame.reserve(4 + body.size());
  put_u32(frame, static_cast<uint32_t>(body.size()));
  frame += body;
  return frame;
}

std::optional<Message> decode_body(std::string_view body, std::string* why) {
  if (body.empty()) {
    fail(why, "empty message");
    return std::nullopt;
  }
  std::optional<Layout> layout = layout_of(static_cast<uint8_t>(body[0]));
  if (!layout) {
    fail(why, "unknown operation");
    return std::nullopt;
  }
  Message m;
  m.op = static_cast<Op>(body[0]);
  size_t pos = 1;
  if (layout->code) {
    if (body.size() - pos < 4) {
      fail(why, "message cut short");
      return std::nullopt;
    }
    m.code = get_u32(body, pos);
    pos += 4;
  }
  std::string* texts[2] = {&m.first, &m.second};
  for (int i = 0; i < layout->texts; ++i) {
    if (body.size() - pos < 4) {
      fail(why, "message cut short");
      return std::nullopt;
    }
    uint32_t n = get_u32(body, pos);
    pos += 4;
    if (n > body.size() - pos) {
      fail(why, "text longer than its message");
      return std::nullopt;
    }
    std::string_view text = body.substr(pos, n);
    if (!is_valid_utf8(text)) {
      fail(why, "text is not UTF-8");
      return std::nullopt;
    }
    texts[i]->assign(text);
    pos += n;
  }
  if (layout->mode) {
    if (pos >= body.size()) {
      fail(why, "message cut short");
      return std::nullopt;
    }
    m.mode = static_cast<uint8_t>(body[pos++]);
    if (m.mode != kModeAutomatic && m.mode != kModeNotify) {
      fail(why, "unknown link mode");
      return std::nullopt;
    }
  }
  if (pos != body.size()) {
    fail(why, "bytes after the last field");
    return std::nullopt;
  }
  return m;
}

FrameReader::Status FrameReader::next(Message& out, std::string* why) {
  if (broken_) return Status::Broken;
  size_t left = buffer_.size() - pos_;
  if (left < 4) return Status::NeedMore;
  uint32_t n = get_u32(buffer_, pos_);
  if (n == 0 || n > kMaxBody) {
    broken_ = true;
    if (why) *why = n == 0 ? "empty frame" : "frame longer than allowed";
    return Status::Broken;
  }
  if (left - 4 < n) return Status::NeedMore;
  std::optional<Message> m = decode_body(std::string_view(buffer_).substr(pos_ + 4, n), why);
  if (!m) {
    broken_ = true;
    return Status::Broken;
  }
  pos_ += 4 + n;
  // Drop what was consumed once it is most of the buffer, so a long stream stays small.
  if (pos_ > 4096 && pos_ * 2 > buffer_.size()) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  out = std::move(*m);
  return Status::Frame;
}

}  // namespace qz::dde
