// Media command strings against a recording player: what each command does to the player and
// what it replies, that a failing command gives no reply, and the completion notices that
// "notify" asks for.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/media/media_commands.h"

namespace qz {
namespace {

struct Log {
  std::vector<std::string> calls;
  int64_t position = 0;
  std::vector<std::function<void()>> ends;  // each player's end, in the order opened
  std::vector<std::function<void()>> failures;  // each player's failure, likewise
};

class FakePlayer final : public MediaPlayer {
 public:
  explicit FakePlayer(Log& log) : log_(log) {}
  void play(int64_t from, int64_t to, bool repeat, bool full) override {
    log_.calls.push_back("play " + std::to_string(from) + " " + std::to_string(to) + (repeat ? " repeat" : "") +
                         (full ? " full" : ""));
    mode_ = Mode::kPlaying;
  }
  void pause() override { log_.calls.push_back("pause"); mode_ = Mode::kPaused; }
  void resume() override { log_.calls.push_back("resume"); mode_ = Mode::kPlaying; }
  void stop() override { log_.calls.push_back("stop"); mode_ = Mode::kStopped; }
  void seek(int64_t at) override { log_.calls.push_back("seek " + std::to_string(at)); log_.position = at; }
  int64_t length() override { return 12345; }
  int64_t position() override { return log_.position; }
  Mode mode() override { return mode_; }
  void wait(int64_t) override {
    log_.calls.push_back("wait");
    mode_ = Mode::kStopped;
    if (ended_) ended_();  // played to the end meanwhile
  }
  void set_end_handler(std::function<void()> ended) override {
    ended_ = ended;
    log_.ends.push_back(std::move(ended));
  }
  void set_failure_handler(std::function<void()> failed) override { log_.failures.push_back(std::move(failed)); }

 private:
  Log& log_;
  Mode mode_ = Mode::kStopped;
  std::function<void()> ended_;
};

class FakeMedia final : public MediaServices {
 public:
  std::unique_ptr<MediaPlayer> open(std::u16string_view path) override {
    opened.emplace_back(path);
    if (path == u"missing.wav") return nullptr;
    return std::make_unique<FakePlayer>(log);
  }
  bool tone(int32_t, int32_t) override { return false; }
  Log log;
  std::vector<std::u16string> opened;
};

class MediaCommandsTest : public ::testing::Test {
 protected:
  std::optional<std::u16string> send(std::u16string_view c) { return commands.send(c); }
  FakeMedia media;
  MediaCommands commands{[this]() -> MediaServices& { return media; }};
};

TEST(SplitCommand, QuotedPartsAreOneWord) {
  EXPECT_EQ(split_command(u"open \"C:/My Music/a b.wav\"  alias med"),
            (std::vector<std::u16string>{u"open", u"C:/My Music/a b.wav", u"alias", u"med"}));
  EXPECT_EQ(split_command(u"  "), std::vector<std::u16string>{});
  EXPECT_EQ(split_command(u"open \"unterminated"), (std::vector<std::u16string>{u"open", u"unterminated"}));
}

TEST_F(MediaCommandsTest, OpenRepliesWithDeviceNumbersAndRefusesTakenAliases) {
  EXPECT_EQ(send(u"open \"a song.wav\" alias med"), u"1");
  EXPECT_EQ(media.opened.back(), u"a song.wav");
  EXPECT_EQ(send(u"OPEN b.wav ALIAS Med"), std::nullopt);  // aliases compare without case
  EXPECT_EQ(send(u"open b.wav alias other"), u"2");
  EXPECT_EQ(send(u"open missing.wav alias x"), std::nullopt);
  EXPECT_EQ(send(u"open"), std::nullopt);
}

TEST_F(MediaCommandsTest, PlayControlAndStatus) {
  ASSERT_TRUE(send(u"open a.wav alias med"));
  struct Case { std::u16string_view command; std::optional<std::u16string> reply; const char* call; };
  for (const Case& c : {Case{u"status med mode", u"stopped", nullptr},
                        Case{u"play med from 100 to 900", u"", "play 100 900"},
                        Case{u"status med mode", u"playing", nullptr}, Case{u"pause med", u"", "pause"},
                        Case{u"status med mode", u"paused", nullptr}, Case{u"resume med", u"", "resume"},
                        Case{u"stop med", u"", "stop"}, Case{u"seek med to 250", u"", "seek 250"},
                        Case{u"status med position", u"250", nullptr}, Case{u"status med length", u"12345", nullptr},
                        Case{u"seek med to start", u"", "seek 0"}, Case{u"play med repeat", u"", "play -1 -1 repeat"},
                        Case{u"play med fullscreen", u"", "play -1 -1 full"},
                        Case{u"play med wait", u"", "wait"},
                        Case{u"status med time format", u"milliseconds", nullptr},
                        Case{u"status med volume", std::nullopt, nullptr}, Case{u"play med from x", std::nullopt, nullptr},
                        Case{u"pause nothere", std::nullopt, nullptr}, Case{u"jump med", std::nullopt, nullptr}}) {
    size_t calls = media.log.calls.size();
    EXPECT_EQ(send(c.command), c.reply) << std::string(c.command.begin(), c.command.end());
    if (c.call) {
      ASSERT_GT(media.log.calls.size(), calls);
      EXPECT_EQ(media.log.calls.back(), c.call);
    }
  }
}

TEST_F(MediaCommandsTest, SecondsFormatScalesTimesBothWays) {
  ASSERT_TRUE(send(u"open a.wav alias med"));
  EXPECT_EQ(send(u"set med time format seconds"), u"");
  EXPECT_EQ(send(u"status med length"), u"12");
  EXPECT_EQ(send(u"seek med to 3"), u"");
  EXPECT_EQ(media.log.position, 3000);
  EXPECT_EQ(send(u"set med time format frames"), std::nullopt);
}

TEST_F(MediaCommandsTest, CloseForgetsDevices) {
  ASSERT_TRUE(send(u"open a.wav alias med"));
  ASSERT_TRUE(send(u"open b.wav alias two"));
  EXPECT_EQ(send(u"close med"), u"");
  EXPECT_EQ(send(u"status med mode"), std::nullopt);
  EXPECT_EQ(send(u"close med"), std::nullopt);
  EXPECT_EQ(send(u"close all"), u"");
  EXPECT_EQ(send(u"status two mode"), std::nullopt);
  EXPECT_EQ(send(u"status med length"), std::nullopt);  // a device that is not open: no number
}

// Each step: a command (or "END n": device n's play reaches its end by itself) and the notices
// it sends, in order. 1 successful, 2 superseded, 4 aborted.
TEST(MediaNotices, SentWhenCommandsAreDone) {
  struct Step {
    const char16_t* command;
    std::vector<std::string> notices;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  for (const Case& c : std::vector<Case>{
           {"no notify, no notice", {{u"play med", {}}, {u"END 1", {}}, {u"stop med", {}}}},
           {"play is done at its end", {{u"play med notify", {}}, {u"status med mode", {}}, {u"END 1", {"1@1"}},
                                        {u"END 1", {}}}},
           {"play wait notify", {{u"play med wait notify", {"1@1"}}}},
           {"other commands at once", {{u"open b.wav alias two notify", {"1@2"}}, {u"seek med to 5 notify", {"1@1"}},
                                       {u"status med position notify", {"1@1"}},
                                       {u"set med time format ms notify", {"1@1"}}, {u"close two notify", {"1@2"}},
                                       {u"close all notify", {"1@0"}}}},
           {"stop aborts", {{u"play med notify", {}}, {u"stop med", {"4@1"}}, {u"END 1", {}}}},
           {"pause aborts, resume does not bring it back",
            {{u"play med notify", {}}, {u"pause med notify", {"4@1", "1@1"}}, {u"resume med", {}}, {u"END 1", {}}}},
           {"seek and close abort", {{u"play med notify", {}}, {u"seek med to start", {"4@1"}},
                                     {u"play med notify", {}}, {u"close med", {"4@1"}}}},
           {"close all aborts each", {{u"open b.wav alias two", {}}, {u"play med notify", {}}, {u"play two notify", {}},
                                      {u"close all", {"4@1", "4@2"}}}},
           {"a new play supersedes or aborts", {{u"play med notify", {}}, {u"play med from 10 notify", {"2@1"}},
                                                {u"play med", {"4@1"}}, {u"END 1", {}}}},
           {"another notify supersedes", {{u"play med notify", {}}, {u"status med mode notify", {"2@1", "1@1"}},
                                          {u"END 1", {}}}},
           {"a repeating play is only aborted", {{u"play med repeat notify", {}}, {u"stop med", {"4@1"}}}},
           {"failures send nothing", {{u"play med notify", {}}, {u"seek med to nowhere notify", {}},
                                      {u"status med volume notify", {}}, {u"open missing.wav alias x notify", {}},
                                      {u"stop nothere notify", {}}, {u"END 1", {"1@1"}}}},
           {"a device that fails ends its play's notice", {{u"play med notify", {}}, {u"FAIL 1", {"8@1"}},
                                                           {u"END 1", {}}, {u"FAIL 1", {}}}},
           {"a failure without a waiting play says nothing", {{u"play med", {}}, {u"FAIL 1", {}}}},
           {"devices are told apart", {{u"open b.wav alias two", {}}, {u"play med notify", {}}, {u"play two notify", {}},
                                       {u"END 2", {"1@2"}}, {u"stop med", {"4@1"}}}},
       }) {
    SCOPED_TRACE(c.name);
    // A fresh table for each case, so device numbers count from 1.
    FakeMedia fresh;
    std::vector<std::string> got;
    MediaCommands mc{[&]() -> MediaServices& { return fresh; },
                     [&](int32_t flag, int32_t device) { got.push_back(std::to_string(flag) + "@" + std::to_string(device)); }};
    ASSERT_TRUE(mc.send(u"open a.wav alias med"));
    for (const Step& s : c.steps) {
      std::u16string command(s.command);
      size_t before = got.size();
      if (command.rfind(u"END ", 0) == 0)
        fresh.log.ends.at(std::stoul(std::string(command.begin() + 4, command.end())) - 1)();
      else if (command.rfind(u"FAIL ", 0) == 0)
        fresh.log.failures.at(std::stoul(std::string(command.begin() + 5, command.end())) - 1)();
      else
        mc.send(command);
      std::vector<std::string> sent(got.begin() + static_cast<std::ptrdiff_t>(before), got.end());
      EXPECT_EQ(sent, s.notices) << std::string(command.begin(), command.end());
    }
  }
}

}  // namespace
}  // namespace qz
