// A short sound played to its end through the window system's media services: without a sound
// device it plays on no sink, with its clock, so status and position move as they would; the end
// of a play is told from the event loop, once, and not for a play that was stopped. Skipped where
// the media back end cannot decode the file.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

#include "platform/qt/media/qt_media.h"
#include "tests/forms/gui_fixture.h"

namespace qz {
namespace {

void put(QByteArray& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// `ms` milliseconds of a 440 Hz tone, 16-bit mono at 22050 Hz.
QByteArray wav(int ms) {
  constexpr int kRate = 22050;
  int samples = kRate * ms / 1000;
  QByteArray data;
  for (int i = 0; i < samples; ++i)
    put(data, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / kRate))), 2);
  QByteArray b("RIFF");
  put(b, static_cast<uint32_t>(36 + data.size()), 4);
  b += "WAVEfmt ";
  put(b, 16, 4);
  put(b, 1, 2);
  put(b, 1, 2);
  put(b, kRate, 4);
  put(b, kRate * 2, 4);
  put(b, 2, 2);
  put(b, 16, 2);
  b += "data";
  put(b, static_cast<uint32_t>(data.size()), 4);
  return b + data;
}

// A player on a tone of `ms` milliseconds written into `dir`; null when it cannot be decoded.
std::unique_ptr<MediaPlayer> tone_player(const QTemporaryDir& dir, const char* name, int ms) {
  install_offscreen_window_system();
  QFile f(dir.filePath(name));
  if (!f.open(QIODevice::WriteOnly)) return nullptr;
  f.write(wav(ms));
  f.close();
  return qt_media_services().open(dir.filePath(name).toStdU16String());
}

TEST(MediaPlayback, PlaysToTheEndWithStatusAndPosition) {
  QTemporaryDir dir;
  std::unique_ptr<MediaPlayer> p = tone_player(dir, "tone.wav", 600);
  if (!p) GTEST_SKIP() << "no media back end decodes WAV here";
  EXPECT_NEAR(static_cast<double>(p->length()), 600, 60);
  EXPECT_EQ(p->mode(), MediaPlayer::Mode::kStopped);
  p->play(-1, -1, false, false);
  EXPECT_EQ(p->mode(), MediaPlayer::Mode::kPlaying);
  p->wait(10000);
  EXPECT_EQ(p->mode(), MediaPlayer::Mode::kStopped);
  EXPECT_NEAR(static_cast<double>(p->position()), static_cast<double>(p->length()), 100);
  p->seek(100);
  EXPECT_NEAR(static_cast<double>(p->position()), 100, 30);

  EXPECT_FALSE(qt_media_services().open(dir.filePath("missing.wav").toStdU16String()));
  QFile junk(dir.filePath("junk.wav"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("definitely not audio");
  junk.close();
  EXPECT_FALSE(qt_media_services().open(dir.filePath("junk.wav").toStdU16String()));
}

TEST(MediaPlayback, TellsTheEndOfAPlayOnceWhileTheLoopRuns) {
  QTemporaryDir dir;
  std::unique_ptr<MediaPlayer> p = tone_player(dir, "short.wav", 300);
  if (!p) GTEST_SKIP() << "no media back end decodes WAV here";
  int ends = 0;
  p->set_end_handler([&] { ++ends; });
  // Stopped halfway: no end.
  p->play(-1, -1, false, false);
  QTest::qWait(100);
  p->stop();
  QTest::qWait(400);
  EXPECT_EQ(ends, 0);
  // Played on without anyone asking for its state: the end arrives all the same, once.
  QElapsedTimer clock;
  clock.start();
  p->play(0, -1, false, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ends > 0; }, 5000));
  EXPECT_GE(clock.elapsed(), 250);
  QTest::qWait(100);
  p->position();
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(p->mode(), MediaPlayer::Mode::kStopped);
  // A play up to a point ends there.
  p->play(0, 100, false, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ends == 2; }, 5000));
  // A repeating play does not end.
  p->play(0, -1, true, false);
  QTest::qWait(500);
  EXPECT_EQ(ends, 2);
  p->stop();
}

TEST(MediaPlayback, ToneRefusesFrequenciesOutsideTheRange) {
  install_offscreen_window_system();
  EXPECT_FALSE(qt_media_services().tone(10, 50));
  EXPECT_FALSE(qt_media_services().tone(440, 0));
}

}  // namespace
}  // namespace qz
