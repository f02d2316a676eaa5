// A short sound played to its end through the window system's media services: without a sound
// device it plays on no sink, with its clock, so status and position move as they would. Skipped
// where the media back end cannot decode the file.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

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

TEST(MediaPlayback, PlaysToTheEndWithStatusAndPosition) {
  install_offscreen_window_system();
  QTemporaryDir dir;
  QFile f(dir.filePath("tone.wav"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(wav(600));
  f.close();
  std::unique_ptr<MediaPlayer> p = qt_media_services().open(dir.filePath("tone.wav").toStdU16String());
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

TEST(MediaPlayback, ToneRefusesFrequenciesOutsideTheRange) {
  install_offscreen_window_system();
  EXPECT_FALSE(qt_media_services().tone(10, 50));
  EXPECT_FALSE(qt_media_services().tone(440, 0));
}

}  // namespace
}  // namespace qz
