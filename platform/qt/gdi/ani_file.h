// Animated cursor files (RIFF "ACON"): the header chunk "anih", the frames (each a whole icon or
// cursor file) in the list "fram", and the optional per-step rates "rate" and frame order
// "seq ". Every length and count is checked against the bytes and against fixed limits before
// anything is taken, so a damaged or hostile file gives an error, never a read past its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qz {

struct AniStep {
  uint32_t frame = 0;        // index into frames
  uint32_t duration_ms = 0;  // how long the step shows
};

struct AniFrameBytes {
  size_t offset = 0;  // into the file's bytes
  size_t size = 0;
};

struct AniCursorFile {
  std::vector<AniFrameBytes> frames;
  std::vector<AniStep> steps;  // the animation in order, at least one
};

// Limits of what is accepted: more would be no cursor anyone draws.
constexpr uint32_t kAniMaxFrames = 1024;
constexpr uint32_t kAniMaxSteps = 4096;

// The parsed file, or nothing with `error` saying why.
std::optional<AniCursorFile> parse_ani_file(const uint8_t* data, size_t size, std::string* error = nullptr);

}  // namespace qz
