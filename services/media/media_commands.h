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

class MediaCommands {
 public:
  // `media` is asked for on the first open, so other commands never load the window system.
  explicit MediaCommands(std::function<MediaServices&()> media) : media_(std::move(media)) {}
  std::optional<std::u16string> send(std::u16string_view command);

 private:
  struct Device {
    std::unique_ptr<MediaPlayer> player;
    int id = 0;
    bool seconds = false;  // time format
  };
  Device* device(const std::u16string& alias);
  std::optional<std::u16string> open(const std::vector<std::u16string>& words);
  std::optional<std::u16string> play(Device& d, const std::vector<std::u16string>& words);
  std::optional<std::u16string> status(Device& d, const std::vector<std::u16string>& words);

  std::function<MediaServices&()> media_;
  std::map<std::u16string, Device> devices_;  // by lower-cased alias
  int next_id_ = 1;
};

// The CD door of the first CD drive (/dev/cdrom); false when there is none or it will not move.
bool move_cd_door(bool open);

}  // namespace qz
