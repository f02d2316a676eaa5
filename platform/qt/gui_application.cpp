#include "platform/qt/gui_application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/event_loop.h"

#include <unistd.h>

namespace qz {

namespace {

EventLoop* g_loop = nullptr;
bool g_offscreen = false;
bool g_woken = false;  // a Qt callback asked the engine's loop to look again

// Qt's own diagnostics (missing runtime folders, font fall-backs) are not the script's output:
// they are dropped unless QUAZEL_QT_DEBUG asks for them; fatal ones still end the process.
void quiet_messages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  static const bool verbose = std::getenv("QUAZEL_QT_DEBUG") != nullptr;
  if (verbose || type == QtFatalMsg) std::fprintf(stderr, "qt: %s\n", text.toLocal8Bit().constData());
}

// The engine's loop asks this to wait: Qt's pending events are handled first, then, when none
// of the loop's descriptors is ready, the thread sleeps in Qt's dispatcher, woken by window
// input or by a descriptor of the loop through a socket notifier.
class QtLoopWaiter final : public EventLoop::Waiter {
 public:
  int wait(pollfd* fds, size_t count, int timeout_ms) override {
    g_woken = false;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    int ready = ::poll(fds, count, 0);
    if (ready != 0 || timeout_ms == 0 || g_woken) return ready;
    watch(fds, count);
    warn_if_unreachable(count);
    std::unique_ptr<QTimer> limit;
    if (timeout_ms > 0) {
      limit = std::make_unique<QTimer>();
      limit->setSingleShot(true);
      limit->start(timeout_ms);
    }
    waiting_ = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    waiting_ = false;
    return ::poll(fds, count, 0);
  }

 private:
  // One notifier per descriptor and direction, kept while the loop watches it.
  void watch(pollfd* fds, size_t count) {
    std::map<std::pair<int, int>, bool> wanted;
    for (size_t i = 0; i < count; ++i) {
      if (fds[i].events & POLLIN) wanted[{fds[i].fd, QSocketNotifier::Read}] = true;
      if (fds[i].events & POLLOUT) wanted[{fds[i].fd, QSocketNotifier::Write}] = true;
    }
    for (auto it = notifiers_.begin(); it != notifiers_.end();) {
      if (wanted.count(it->first)) ++it;
      else it = notifiers_.erase(it);
    }
    for (auto& [key, unused] : wanted) {
      if (notifiers_.count(key)) continue;
      auto n = std::make_unique<QSocketNotifier>(key.first, static_cast<QSocketNotifier::Type>(key.second));
      // In a nested Qt loop (a drag, a modal dialog of Qt's) the engine's loop is not waiting:
      // a ready descriptor then runs the loop's handlers from here.
      QObject::connect(n.get(), &QSocketNotifier::activated, [this] {
        if (waiting_ || dispatching_ || !g_loop) return;
        dispatching_ = true;
        g_loop->do_events();
        dispatching_ = false;
      });
      notifiers_.emplace(key, std::move(n));
    }
  }

  // A form drawn off screen, with no terminal, timer or socket that could ever change anything,
  // would wait silently for ever: the run says so once, and how it ends.
  void warn_if_unreachable(size_t watched) {
    if (warned_ || !g_offscreen || watched > 1 || ::isatty(0)) return;
    warned_ = true;
    std::fprintf(stderr,
                 "quazel: a form is shown without a display (Qt's offscreen platform) and nothing is left that "
                 "could close it; the run ends with Ctrl+C or SIGTERM. Set DISPLAY or WAYLAND_DISPLAY to see it.\n");
  }

  std::map<std::pair<int, int>, std::unique_ptr<QSocketNotifier>> notifiers_;
  bool warned_ = false;
  bool waiting_ = false;
  bool dispatching_ = false;
};

}  // namespace

void wake_engine_loop() {
  g_woken = true;
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

bool start_gui_application(EventLoop* loop) {
  if (QApplication::instance()) {
    if (loop && loop != g_loop) {
      g_loop = loop;
      static QtLoopWaiter* waiter = new QtLoopWaiter();
      loop->set_waiter(waiter);
    }
    return true;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!(platform && *platform)) {
    // A display that cannot be reached falls back to drawing off screen instead of ending.
    if (wayland && *wayland) ::setenv("QT_QPA_PLATFORM", "wayland;xcb;offscreen", 1);
    else if (display && *display) ::setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    else ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  qInstallMessageHandler(quiet_messages);
  static int argc = 1;
  static char name[] = "quazel";
  static char* argv[] = {name, nullptr};
  // The browser control's web engine, loaded later, shares OpenGL contexts with the windows.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  auto* app = new QApplication(argc, argv);  // lives as long as the process
  app->setQuitOnLastWindowClosed(false);     // the engine decides when the run ends
  g_offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
  g_loop = nullptr;
  return start_gui_application(loop);
}

EventLoop* gui_event_loop() { return g_loop; }
bool gui_offscreen() { return g_offscreen; }

}  // namespace qz
