#include "platform/qt/media/qt_media.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "platform/path.h"

namespace qz {

namespace {

constexpr int kLoadTimeoutMs = 5000;

class QtMediaPlayer final : public MediaPlayer {
 public:
  QtMediaPlayer() {
    if (!QMediaDevices::audioOutputs().isEmpty()) {
      audio_ = std::make_unique<QAudioOutput>();
      player_.setAudioOutput(audio_.get());
    }
    QObject::connect(&player_, &QMediaPlayer::positionChanged, [this](qint64 at) {
      if (to_ >= 0 && at >= to_ && player_.playbackState() == QMediaPlayer::PlayingState) {
        if (repeat_) {
          player_.setPosition(from_);
        } else {
          player_.pause();
          stopped_ = true;
          finish();
        }
      }
    });
    QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, [this](QMediaPlayer::MediaStatus s) {
      if (s != QMediaPlayer::EndOfMedia) return;
      if (repeat_) {
        player_.setPosition(from_);
        player_.play();
      } else {
        finish();
      }
    });
    // A play the back end cannot go on with is over, and whoever waits for it hears so once.
    QObject::connect(&player_, &QMediaPlayer::errorOccurred, [this](QMediaPlayer::Error e, const QString&) {
      if (e == QMediaPlayer::NoError || end_told_) return;
      end_told_ = true;
      if (failed_) failed_();
    });
    // A silent player's end comes from its own clock.
    end_timer_.setSingleShot(true);
    QObject::connect(&end_timer_, &QTimer::timeout, [this] {
      position();  // notices the end
      if (running_) end_timer_.start(10);  // the clock is a little behind the timer
    });
  }

  // Loads the file, waiting for the back end to say whether it could.
  bool load(const QString& file) {
    player_.setSource(QUrl::fromLocalFile(file));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kLoadTimeoutMs) {
      auto s = player_.mediaStatus();
      if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia) {
        // Sound with nowhere to go: the back end's clock would stand still, so ours runs.
        silent_ = !audio_ && !player_.hasVideo();
        return true;
      }
      if (s == QMediaPlayer::InvalidMedia || player_.error() != QMediaPlayer::NoError) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(1);
    }
    return false;
  }

  void play(int64_t from, int64_t to, bool repeat, bool full_screen) override {
    repeat_ = repeat;
    to_ = to;
    from_ = from >= 0 ? from : 0;
    stopped_ = false;
    end_told_ = false;
    if (silent_) {
      int64_t at = position();
      if (from >= 0)
        at = from;
      else if (at >= end())
        at = 0;
      start_silent(at);
      return;
    }
    if (from >= 0)
      player_.setPosition(from);
    else if (player_.mediaStatus() == QMediaPlayer::EndOfMedia)
      player_.setPosition(0);
    if (player_.hasVideo() && !video_) {
      video_ = std::make_unique<QVideoWidget>();
      player_.setVideoOutput(video_.get());
    }
    if (video_) {
      if (full_screen)
        video_->showFullScreen();
      else
        video_->show();
    }
    player_.play();
  }
  void pause() override {
    if (silent_)
      hold_silent();
    else
      player_.pause();
  }
  void resume() override {
    if (silent_) {
      if (!running_ && !stopped_) start_silent(position());
    } else if (player_.playbackState() == QMediaPlayer::PausedState) {
      player_.play();
    }
  }
  void stop() override {
    pause();  // stopping would also rewind; the position stays where it stopped
    stopped_ = true;
  }
  void seek(int64_t position) override {
    position = std::clamp<int64_t>(position, 0, std::max<int64_t>(0, player_.duration()));
    if (silent_) {
      hold_silent();
      held_ = position;
    } else {
      player_.setPosition(position);
      if (player_.playbackState() == QMediaPlayer::PlayingState) player_.pause();
    }
    stopped_ = true;
  }
  int64_t length() override { return player_.duration(); }
  int64_t position() override {
    if (!silent_) return player_.position();
    if (!running_) return held_;
    int64_t at = base_ + clock_.elapsed();
    if (at < end()) return at;
    if (repeat_ && end() > from_) return from_ + (at - from_) % (end() - from_);
    running_ = false;  // played to the end
    stopped_ = true;
    held_ = end();
    end_timer_.stop();
    finish();
    return held_;
  }
  Mode mode() override {
    if (silent_) {
      position();  // notices the end of the sound
      return running_ ? Mode::kPlaying : stopped_ ? Mode::kStopped : Mode::kPaused;
    }
    switch (player_.playbackState()) {
      case QMediaPlayer::PlayingState:
        return Mode::kPlaying;
      case QMediaPlayer::PausedState:
        return stopped_ ? Mode::kStopped : Mode::kPaused;
      default:
        return Mode::kStopped;
    }
  }
  void set_end_handler(std::function<void()> ended) override { ended_ = std::move(ended); }
  void set_failure_handler(std::function<void()> failed) override { failed_ = std::move(failed); }
  void wait(int64_t timeout_ms) override {
    QElapsedTimer clock;
    clock.start();
    while (mode() == Mode::kPlaying && (timeout_ms < 0 || clock.elapsed() < timeout_ms)) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(2);
    }
  }

 private:
  int64_t end() const { return to_ >= 0 ? std::min<int64_t>(to_, player_.duration()) : player_.duration(); }
  void start_silent(int64_t at) {
    base_ = at;
    clock_.start();
    running_ = true;
    if (!repeat_) end_timer_.start(static_cast<int>(std::clamp<int64_t>(end() - at, 0, INT32_MAX)));
  }
  void hold_silent() {
    held_ = position();
    running_ = false;
    end_timer_.stop();
  }
  // Tells the end of this play once.
  void finish() {
    if (end_told_ || repeat_) return;
    end_told_ = true;
    if (ended_) ended_();
  }

  QMediaPlayer player_;
  std::unique_ptr<QAudioOutput> audio_;
  std::unique_ptr<QVideoWidget> video_;
  int64_t from_ = 0;
  int64_t to_ = -1;
  bool repeat_ = false;
  bool stopped_ = true;
  // The clock of a silent player: playing from `base_` since `clock_` started, or held at `held_`.
  bool silent_ = false;
  bool running_ = false;
  int64_t base_ = 0;
  int64_t held_ = 0;
  QElapsedTimer clock_;
  QTimer end_timer_;
  std::function<void()> ended_;
  std::function<void()> failed_;
  bool end_told_ = true;  // no play yet
};

// A 16-bit mono sine of `ms` milliseconds at `frequency` Hz.
QByteArray sine(int frequency, int ms, int rate) {
  int samples = static_cast<int>(int64_t{rate} * ms / 1000);
  QByteArray pcm(samples * 2, Qt::Uninitialized);
  auto* out = reinterpret_cast<int16_t*>(pcm.data());
  for (int i = 0; i < samples; ++i)
    out[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * frequency * static_cast<double>(i) / rate));
  return pcm;
}

// The FFmpeg back end decodes the common formats by itself; QT_MEDIA_BACKEND may name another.
// Chosen before anything asks Qt Multimedia for its devices.
void choose_back_end() {
  static const bool chosen = [] {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    return true;
  }();
  (void)chosen;
}

class QtMedia final : public MediaServices {
 public:
  std::unique_ptr<MediaPlayer> open(std::u16string_view path) override {
    choose_back_end();
    std::string os = find_path(path);
    QString file = QString::fromUtf8(os.c_str());
    if (!QFileInfo(file).isFile()) return nullptr;
    auto p = std::make_unique<QtMediaPlayer>();
    if (!p->load(file)) return nullptr;
    return p;
  }

  bool tone(int32_t frequency, int32_t ms) override {
    choose_back_end();
    if (frequency < 37 || frequency > 32767 || ms <= 0 || ms > 60000) return false;
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return false;
    QByteArray pcm = sine(frequency, ms, format.sampleRate());
    QBuffer buffer(&pcm);
    buffer.open(QIODevice::ReadOnly);
    QAudioSink sink(device, format);
    sink.start(&buffer);
    if (sink.error() != QAudio::NoError) return false;
    QElapsedTimer clock;
    clock.start();
    // Events go on while the tone sounds, as the speaker's wait let them.
    while (clock.elapsed() < ms + 200 && sink.state() == QAudio::ActiveState) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(2);
    }
    sink.stop();
    return true;
  }
};

}  // namespace

MediaServices& qt_media_services() {
  static auto* m = new QtMedia();
  return *m;
}

}  // namespace qz
