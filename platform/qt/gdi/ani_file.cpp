#include "platform/qt/gdi/ani_file.h"

#include <cstring>

namespace qz {

namespace {

uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

bool tag(const uint8_t* p, const char* t) { return std::memcmp(p, t, 4) == 0; }

// A jiffy is 1/60 s; a step shows for at least 10 ms and at most a minute.
uint32_t jiffies_to_ms(uint32_t jiffies) {
  uint64_t ms = uint64_t{jiffies} * 1000 / 60;
  if (ms < 10) ms = 10;
  return ms > 60000 ? 60000 : static_cast<uint32_t>(ms);
}

}  // namespace

std::optional<AniCursorFile> parse_ani_file(const uint8_t* data, size_t size, std::string* error) {
  auto refuse = [error](const char* reason) -> std::optional<AniCursorFile> {
    if (error) *error = reason;
    return std::nullopt;
  };
  if (!data || size < 12 || !tag(data, "RIFF") || !tag(data + 8, "ACON")) return refuse("not an animated cursor");
  // The RIFF size may not pass the end; a shorter one ends the chunks early.
  size_t end = size;
  uint32_t riff = u32(data + 4);
  if (riff < 4) return refuse("RIFF size too small");
  if (uint64_t{riff} + 8 < end) end = static_cast<size_t>(riff) + 8;

  bool have_header = false;
  uint32_t frame_count = 0, step_count = 0, default_rate = 0, flags = 0;
  std::vector<uint32_t> rates, order;
  AniCursorFile out;

  size_t pos = 12;
  while (pos + 8 <= end) {
    const uint8_t* chunk = data + pos;
    uint32_t len = u32(chunk + 4);
    if (len > end - pos - 8) return refuse("chunk passes the end of the file");
    const uint8_t* body = chunk + 8;
    if (tag(chunk, "anih")) {
      if (len < 36) return refuse("header chunk too short");
      frame_count = u32(body + 4);
      step_count = u32(body + 8);
      default_rate = u32(body + 28);
      flags = u32(body + 32);
      if (frame_count == 0 || frame_count > kAniMaxFrames) return refuse("frame count out of range");
      if (step_count == 0 || step_count > kAniMaxSteps) return refuse("step count out of range");
      if (!(flags & 1)) return refuse("raw bitmap frames are not supported");
      have_header = true;
    } else if (tag(chunk, "rate") || tag(chunk, "seq ")) {
      if (len % 4 != 0 || len / 4 > kAniMaxSteps) return refuse("rate or sequence chunk of a bad size");
      std::vector<uint32_t>& into = tag(chunk, "rate") ? rates : order;
      into.clear();
      for (uint32_t i = 0; i < len / 4; ++i) into.push_back(u32(body + i * 4));
    } else if (tag(chunk, "LIST") && len >= 4 && tag(body, "fram")) {
      size_t at = 4;
      while (at + 8 <= len) {
        const uint8_t* sub = body + at;
        uint32_t sub_len = u32(sub + 4);
        if (sub_len > len - at - 8) return refuse("frame passes the end of its list");
        if (tag(sub, "icon")) {
          if (out.frames.size() >= kAniMaxFrames) return refuse("too many frames");
          out.frames.push_back(AniFrameBytes{static_cast<size_t>(sub + 8 - data), sub_len});
        }
        at += 8 + static_cast<size_t>(sub_len) + (sub_len & 1);
      }
    }
    pos += 8 + static_cast<size_t>(len) + (len & 1);
  }
  if (!have_header) return refuse("no header chunk");
  if (out.frames.size() != frame_count) return refuse("frame count does not match the frames");
  if (!rates.empty() && rates.size() != step_count) return refuse("rate chunk does not match the step count");
  if (!order.empty() && order.size() != step_count) return refuse("sequence chunk does not match the step count");
  // Without a sequence the frames play in order, one step each.
  if (order.empty() && step_count != frame_count) return refuse("step count differs from the frame count");
  for (uint32_t i = 0; i < step_count; ++i) {
    uint32_t frame = order.empty() ? i : order[i];
    if (frame >= frame_count) return refuse("sequence names a missing frame");
    uint32_t rate = rates.empty() ? default_rate : rates[i];
    out.steps.push_back(AniStep{frame, jiffies_to_ms(rate)});
  }
  return out;
}

}  // namespace qz
