// Audio and video playback and the tone for sys.Media, answered by the window system
// (WindowSystem::media()). Positions and lengths are milliseconds.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace qz {

class MediaPlayer {
 public:
  enum class Mode { kNotReady, kStopped, kPlaying, kPaused };
  virtual ~MediaPlayer() = default;
  // Plays from `from` to `to` (-1: the current position, the end); `repeat` starts again at
  // the end. `full_screen` shows video over the whole screen.
  virtual void play(int64_t from, int64_t to, bool repeat, bool full_screen) = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual void stop() = 0;
  virtual void seek(int64_t position) = 0;
  virtual int64_t length() = 0;
  virtual int64_t position() = 0;
  virtual Mode mode() = 0;
  // Hands events to the player until it stops playing (or `timeout_ms` passes).
  virtual void wait(int64_t timeout_ms) = 0;
  // Hears each play that reaches its end (or its `to` point) by itself, from the event loop or
  // from inside wait(); never a play that was stopped, paused or sought away from, nor one that
  // repeats.
  virtual void set_end_handler(std::function<void()> ended) = 0;
  // Hears the device failing while it plays (a decoding or output error); players that cannot
  // fail that way never call it.
  virtual void set_failure_handler(std::function<void()> failed) { (void)failed; }
};

class MediaServices {
 public:
  virtual ~MediaServices() = default;
  // A player on the file, loaded (null when it cannot be decoded or no back end exists).
  virtual std::unique_ptr<MediaPlayer> open(std::u16string_view path) = 0;
  // A sine tone on the sound device for `ms` milliseconds; false when there is no device.
  virtual bool tone(int32_t frequency, int32_t ms) = 0;
};

}  // namespace qz
