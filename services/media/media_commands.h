// Media command strings, the ones sys.Media sends and scripts write themselves:
//   open "file" [alias name] [type t] [wait]   reply: the device number
//   play name [from n] [to n] [repeat] [fullscreen] [wait]
//   pause | resume | stop | close name (close all closes every device)
//   seek name to n|start|end
//   status name length | position | mode | ready | time format
//   set name time format milliseconds | ms | seconds
//   set cdaudio door open | closed [wait]
// Words are matched without regard to case. A command that fails, or one not listed, gives
// no reply at all; commands without an answer reply with the empty text.
//
// Any command on a device may carry the word "notify": it asks for a completion notice, the
// flag below with the device number, handed to the notice sink once the command is done. A
// play is done when it reaches its end by itself; every other command at once. A device keeps
// one notice waiting: a later command with "notify" supersedes it, and a command that keeps
// the play from ending by itself (play, pause, stop, seek, close) aborts it, and a device that
// fails while it plays ends it with the failure flag. A command that fails sends no notice.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/media_services.h"

namespace qz {

// The words of a command; a double-quoted part is one word without its quotes.
std::vector<std::u16string> split_command(std::u16string_view command);

// The completion notices' flags.
enum MediaNotice : int32_t {
  kNoticeSuccessful = 1,
  kNoticeSuperseded = 2,
  kNoticeAborted = 4,
  kNoticeFailure = 8,  // the device failed before the play was done
};

class MediaCommands {
 public:
  // Hears a notice: its flag and the device number. Called from inside send() or from the
  // player's end; the sink hands the notice on later, never running script code itself.
  using NoticeSink = std::function<void(int32_t flag, int32_t device)>;

  // `media` is asked for on the first open, so other commands never load the window system.
  explicit MediaCommands(std::function<MediaServices&()> media, NoticeSink notices = {})
      : media_(std::move(media)), notices_(std::move(notices)) {}
  std::optional<std::u16string> send(std::u16string_view command);

 private:
  struct Device {
    std::unique_ptr<MediaPlayer> player;
    int id = 0;
    bool seconds = false;  // time format
    bool play_notice = false;  // a play with "notify" has not ended yet
  };
  // What the command does and replies; `device` receives the number of the device it was for
  // (0: none, or every device).
  std::optional<std::u16string> run(const std::vector<std::u16string>& words, bool notice, int32_t& device);
  void notify(int32_t flag, int32_t device) {
    if (notices_) notices_(flag, device);
  }
  // The notice a play was waiting for ends with `flag`.
  void end_play_notice(Device& d, int32_t flag);
  Device* device(const std::u16string& alias);
  std::optional<std::u16string> open(const std::vector<std::u16string>& words, int32_t& id);
  std::optional<std::u16string> play(Device& d, const std::vector<std::u16string>& words, bool notice);
  std::optional<std::u16string> status(Device& d, const std::vector<std::u16string>& words);
  // pause, resume, stop, status, seek and set on an open device.
  std::optional<std::u16string> device_command(Device& d, const std::u16string& verb,
                                               const std::vector<std::u16string>& words);

  std::function<MediaServices&()> media_;
  NoticeSink notices_;
  std::map<std::u16string, Device> devices_;  // by lower-cased alias
  int next_id_ = 1;
};

// The CD door of the first CD drive (/dev/cdrom); false when there is none or it will not move.
bool move_cd_door(bool open);

}  // namespace qz
