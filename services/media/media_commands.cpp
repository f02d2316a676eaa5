#include "services/media/media_commands.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>

#include "com/convert.h"
#include "com/error.h"

namespace qz {

namespace {

std::u16string lower(std::u16string s) {
  for (char16_t& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

std::u16string number_text(int64_t v) {
  std::string s = std::to_string(v);
  return std::u16string(s.begin(), s.end());
}

// A time in the device's format as milliseconds; -1 when it is no number.
int64_t time_value(const std::u16string& word, bool seconds) {
  double v = 0;
  if (!parse_number(word, v) || !std::isfinite(v) || v < 0 || v > 1e12) return -1;
  return static_cast<int64_t>(std::llround(seconds ? v * 1000 : v));
}

// "notify" among the words after the verb and the device name.
bool asks_notice(const std::vector<std::u16string>& words) {
  for (size_t i = 2; i < words.size(); ++i)
    if (lower(words[i]) == u"notify") return true;
  return false;
}

// Commands that keep a play from ending by itself.
bool interrupts_play(const std::u16string& verb) {
  return verb == u"pause" || verb == u"stop" || verb == u"seek" || verb == u"close";
}

}  // namespace

std::vector<std::u16string> split_command(std::u16string_view command) {
  std::vector<std::u16string> words;
  size_t i = 0;
  while (i < command.size()) {
    while (i < command.size() && (command[i] == u' ' || command[i] == u'\t')) ++i;
    if (i >= command.size()) break;
    if (command[i] == u'"') {
      size_t end = command.find(u'"', i + 1);
      if (end == std::u16string_view::npos) end = command.size();
      words.emplace_back(command.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      size_t end = i;
      while (end < command.size() && command[end] != u' ' && command[end] != u'\t') ++end;
      words.emplace_back(command.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

MediaCommands::Device* MediaCommands::device(const std::u16string& alias) {
  auto it = devices_.find(lower(alias));
  return it == devices_.end() || !it->second.player ? nullptr : &it->second;
}

std::optional<std::u16string> MediaCommands::open(const std::vector<std::u16string>& words, int32_t& id) {
  if (words.size() < 2) return std::nullopt;
  std::u16string file = words[1], alias = words[1];
  for (size_t i = 2; i + 1 < words.size(); ++i)
    if (lower(words[i]) == u"alias") alias = words[i + 1];
  if (device(alias)) return std::nullopt;  // the alias is taken
  std::unique_ptr<MediaPlayer> player;
  try {
    player = media_().open(file);
  } catch (const ScriptError&) {
    return std::nullopt;  // no window system, no media
  }
  if (!player) return std::nullopt;
  Device d;
  d.player = std::move(player);
  d.id = next_id_++;
  std::u16string key = lower(alias);
  d.player->set_end_handler([this, key] {
    if (Device* ended = device(key); ended && ended->play_notice) end_play_notice(*ended, kNoticeSuccessful);
  });
  d.player->set_failure_handler([this, key] {
    if (Device* failed = device(key); failed && failed->play_notice) end_play_notice(*failed, kNoticeFailure);
  });
  id = d.id;
  devices_[key] = std::move(d);
  return number_text(id);
}

void MediaCommands::end_play_notice(Device& d, int32_t flag) {
  d.play_notice = false;
  notify(flag, d.id);
}

std::optional<std::u16string> MediaCommands::play(Device& d, const std::vector<std::u16string>& words, bool notice) {
  int64_t from = -1, to = -1;
  bool repeat = false, full = false, wait = false;
  for (size_t i = 2; i < words.size(); ++i) {
    std::u16string w = lower(words[i]);
    if ((w == u"from" || w == u"to") && i + 1 < words.size()) {
      int64_t t = time_value(words[++i], d.seconds);
      if (t < 0) return std::nullopt;
      (w == u"from" ? from : to) = t;
    } else if (w == u"repeat") {
      repeat = true;
    } else if (w == u"fullscreen") {
      full = true;
    } else if (w == u"wait") {
      wait = true;
    }
  }
  // The play before this one will not end by itself now.
  if (d.play_notice) end_play_notice(d, notice ? kNoticeSuperseded : kNoticeAborted);
  d.play_notice = notice;  // a repeating play is only ever aborted or superseded
  d.player->play(from, to, repeat, full);
  if (wait && !repeat) d.player->wait(-1);
  return std::u16string();
}

std::optional<std::u16string> MediaCommands::status(Device& d, const std::vector<std::u16string>& words) {
  // What is asked for, without the flags any command may carry.
  std::u16string what;
  for (size_t i = 2; i < words.size(); ++i) {
    std::u16string w = lower(words[i]);
    if (w == u"notify" || w == u"wait") continue;
    if (!what.empty()) what += u' ';
    what += w;
  }
  auto in_format = [&](int64_t ms) { return number_text(d.seconds ? ms / 1000 : ms); };
  if (what == u"length") return in_format(d.player->length());
  if (what == u"position") return in_format(d.player->position());
  if (what == u"ready") return u"true";
  if (what == u"time format") return d.seconds ? u"seconds" : u"milliseconds";
  if (what == u"mode") {
    switch (d.player->mode()) {
      case MediaPlayer::Mode::kPlaying:
        return u"playing";
      case MediaPlayer::Mode::kPaused:
        return u"paused";
      case MediaPlayer::Mode::kStopped:
        return u"stopped";
      default:
        return u"not ready";
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> MediaCommands::send(std::u16string_view command) {
  std::vector<std::u16string> words = split_command(command);
  if (words.empty()) return std::nullopt;
  bool notice = asks_notice(words);
  int32_t id = 0;
  std::optional<std::u16string> reply = run(words, notice, id);
  // A play's notice waits for its end; every other command is done now.
  if (reply && notice && lower(words[0]) != u"play") notify(kNoticeSuccessful, id);
  return reply;
}

std::optional<std::u16string> MediaCommands::run(const std::vector<std::u16string>& words, bool notice,
                                                 int32_t& id) {
  std::u16string verb = lower(words[0]);
  if (verb == u"open") return open(words, id);
  if (words.size() < 2) return std::nullopt;
  std::u16string name = lower(words[1]);
  if (verb == u"close") {
    if (name == u"all") {
      for (auto& [alias, d] : devices_)
        if (d.play_notice) end_play_notice(d, kNoticeAborted);
      devices_.clear();
      return std::u16string();
    }
    Device* d = device(name);
    if (!d) return std::nullopt;
    id = d->id;
    if (d->play_notice) end_play_notice(*d, kNoticeAborted);
    devices_.erase(name);
    return std::u16string();
  }
  if (verb == u"set" && name == u"cdaudio") {
    for (size_t i = 2; i + 1 < words.size(); ++i)
      if (lower(words[i]) == u"door")
        return move_cd_door(lower(words[i + 1]) == u"open") ? std::optional<std::u16string>(std::u16string())
                                                            : std::nullopt;
    return std::nullopt;
  }
  Device* d = device(name);
  if (!d) return std::nullopt;
  id = d->id;
  if (verb == u"play") return play(*d, words, notice);
  std::optional<std::u16string> reply = device_command(*d, verb, words);
  // A notice still waiting ends when this command keeps the play from ending, or asks for a
  // notice of its own.
  if (reply && d->play_notice && (interrupts_play(verb) || notice))
    end_play_notice(*d, interrupts_play(verb) ? kNoticeAborted : kNoticeSuperseded);
  return reply;
}

std::optional<std::u16string> MediaCommands::device_command(Device& d, const std::u16string& verb,
                                                            const std::vector<std::u16string>& words) {
  if (verb == u"pause") return d.player->pause(), std::u16string();
  if (verb == u"resume") return d.player->resume(), std::u16string();
  if (verb == u"stop") return d.player->stop(), std::u16string();
  if (verb == u"status") return status(d, words);
  if (verb == u"seek" && words.size() >= 4 && lower(words[2]) == u"to") {
    std::u16string where = lower(words[3]);
    int64_t t = where == u"start" ? 0 : where == u"end" ? d.player->length() : time_value(words[3], d.seconds);
    if (t < 0) return std::nullopt;
    d.player->seek(t);
    return std::u16string();
  }
  if (verb == u"set" && words.size() >= 5 && lower(words[2]) == u"time" && lower(words[3]) == u"format") {
    std::u16string f = lower(words[4]);
    if (f != u"seconds" && f != u"milliseconds" && f != u"ms") return std::nullopt;
    d.seconds = f == u"seconds";
    return std::u16string();
  }
  return std::nullopt;
}

bool move_cd_door(bool open) {
  int fd = ::open("/dev/cdrom", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0) == 0;
  ::close(fd);
  return ok;
}

}  // namespace qz
