#include "platform/event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "platform/output.h"

namespace qz {

namespace {

int64_t now_ns() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Signals reach the loop through a self-pipe written by an async-signal-safe handler. (A
// signalfd would need the signals blocked, and a blocked SIGINT could never stop a script that
// loops without pumping events; children would also inherit the blocked mask.)
struct SignalState {
  int pipe_rd = -1;
  int pipe_wr = -1;
  volatile sig_atomic_t pending[NSIG] = {};
  volatile sig_atomic_t force[NSIG] = {};
  volatile sig_atomic_t stop_requested = 0;   // a force_on_repeat signal waits for the loop
  std::map<int, std::function<void(int)>> handlers;
};

SignalState& signals() {
  static SignalState* s = new SignalState();  // never destroyed: the handler may run at exit
  return *s;
}

extern "C" void quazel_signal_handler(int signo) {
  SignalState& s = signals();
  int saved = errno;
  if (signo > 0 && signo < NSIG) {
    if (s.force[signo] && s.pending[signo] > 0) {
      // The loop did not get to the first one: end the default way.
      ::signal(signo, SIG_DFL);
      ::raise(signo);
    }
    s.pending[signo] = s.pending[signo] + 1;
    if (s.force[signo]) s.stop_requested = 1;
    unsigned char b = static_cast<unsigned char>(signo);
    if (s.pipe_wr >= 0) (void)!::write(s.pipe_wr, &b, 1);
  }
  errno = saved;
}

bool ensure_signal_pipe() {
  SignalState& s = signals();
  if (s.pipe_rd >= 0) return true;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  s.pipe_rd = fds[0];
  s.pipe_wr = fds[1];
  return true;
}

class PollEventLoop final : public EventLoop {
 public:
  PollEventLoop() {
    timer_fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  }
  ~PollEventLoop() override {
    if (timer_fd_ >= 0) ::close(timer_fd_);
  }

  TimerId set_timer(uint32_t interval_ms, Callback tick) override {
    if (interval_ms < kMinTimerMs) interval_ms = kMinTimerMs;
    if (interval_ms > kMaxTimerMs) interval_ms = kMaxTimerMs;
    TimerId id = ++last_id_;
    Timer t;
    t.interval_ns = static_cast<int64_t>(interval_ms) * 1000000;
    t.deadline = now_ns() + t.interval_ns;
    t.tick = std::make_shared<Callback>(std::move(tick));
    timers_.emplace(id, std::move(t));
    return id;
  }

  bool kill_timer(TimerId id) override { return timers_.erase(id) > 0; }
  bool has_timer(TimerId id) const override { return timers_.count(id) > 0; }

  void post(Callback task) override { posted_.push_back(std::move(task)); }

  WatchId watch_fd(int fd, short events, std::function<void(short)> ready, bool keep_alive) override {
    WatchId id = ++last_id_;
    Watch w;
    w.fd = fd;
    w.events = events;
    w.keep_alive = keep_alive;
    w.ready = std::make_shared<std::function<void(short)>>(std::move(ready));
    watches_.emplace(id, std::move(w));
    return id;
  }
  void set_fd_events(WatchId id, short events) override {
    auto it = watches_.find(id);
    if (it != watches_.end()) it->second.events = events;
  }
  void unwatch_fd(WatchId id) override { watches_.erase(id); }

  void on_signal(int signo, std::function<void(int)> handler, bool force_on_repeat) override {
    if (signo <= 0 || signo >= NSIG || !ensure_signal_pipe()) return;
    SignalState& s = signals();
    s.handlers[signo] = std::move(handler);
    s.force[signo] = force_on_repeat ? 1 : 0;
    struct sigaction sa {};
    sa.sa_handler = quazel_signal_handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(signo, &sa, nullptr);
  }

  const volatile sig_atomic_t* stop_request() const override { return &signals().stop_requested; }

  void clear_signal(int signo) override {
    if (signo <= 0 || signo >= NSIG) return;
    signals().handlers.erase(signo);
    ::signal(signo, SIG_DFL);
  }

  void hold() override { ++holds_; }
  void release() override {
    if (holds_ > 0) --holds_;
  }

  int do_events() override { return pass(false); }
  int run_once() override { return pass(!quit_); }

  bool run() override {
    while (!quit_) {
      if (!has_work()) return false;
      pass(true);
    }
    quit_ = false;
    return true;
  }

  void quit() override { quit_ = true; }
  bool quitting() const override { return quit_; }
  void set_waiter(Waiter* waiter) override { waiter_ = waiter; }

 private:
  struct Timer {
    int64_t interval_ns = 0;
    int64_t deadline = 0;
    bool busy = false;
    std::shared_ptr<Callback> tick;
  };
  struct Watch {
    int fd = -1;
    short events = 0;
    bool keep_alive = true;
    bool busy = false;
    std::shared_ptr<std::function<void(short)>> ready;
  };

  bool has_work() const {
    if (!posted_.empty() || !timers_.empty() || holds_ > 0) return true;
    for (auto& [id, w] : watches_)
      if (w.keep_alive) return true;
    return false;
  }

  // Arms the timerfd for the earliest deadline of a timer that can run; false when none.
  bool arm_timer_fd() {
    int64_t earliest = INT64_MAX;
    for (auto& [id, t] : timers_)
      if (!t.busy && t.deadline < earliest) earliest = t.deadline;
    if (earliest == INT64_MAX || timer_fd_ < 0) return false;
    itimerspec its{};
    if (earliest <= 0) earliest = 1;
    its.it_value.tv_sec = earliest / 1000000000;
    its.it_value.tv_nsec = earliest % 1000000000;
    ::timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &its, nullptr);
    return true;
  }

  // One pass: wait (when `block` and nothing is due), then signals, descriptors, timers and
  // the posted tasks that were queued when the pass began.
  int pass(bool block) {
    int handled = 0;
    size_t posted_now = posted_.size();
    bool timers_armed = arm_timer_fd();

    std::vector<pollfd> fds;
    std::vector<WatchId> ids;
    SignalState& sig = signals();
    bool want_signals = sig.pipe_rd >= 0 && !sig.handlers.empty();
    if (want_signals) fds.push_back({sig.pipe_rd, POLLIN, 0});
    if (timers_armed) fds.push_back({timer_fd_, POLLIN, 0});
    size_t first_watch = fds.size();
    for (auto& [id, w] : watches_) {
      if (w.busy || w.events == 0) continue;
      fds.push_back({w.fd, w.events, 0});
      ids.push_back(id);
    }

    // With only holds left and nothing to watch, waiting for ever is right: only a signal
    // (which interrupts poll) can bring anything.
    int timeout = (block && posted_now == 0 && !quit_) ? -1 : 0;
    // What the script printed shows before the loop sleeps (a form waiting for a click, a
    // timer's next tick), not only when the buffer fills or the run ends.
    if (timeout != 0) flush_stdout();
    int n = waiter_ ? waiter_->wait(fds.data(), fds.size(), timeout) : ::poll(fds.data(), fds.size(), timeout);
    if (n < 0 && errno != EINTR) n = 0;

    if (n > 0) {
      size_t i = 0;
      if (want_signals) {
        if (fds[i].revents & POLLIN) handled += drain_signals();
        ++i;
      }
      if (timers_armed) {
        if (fds[i].revents & POLLIN) {
          uint64_t expirations;
          (void)!::read(timer_fd_, &expirations, sizeof expirations);
        }
        ++i;
      }
      for (size_t k = first_watch; k < fds.size(); ++k) {
        if (fds[k].revents == 0) continue;
        auto it = watches_.find(ids[k - first_watch]);
        if (it == watches_.end() || it->second.busy) continue;  // removed by an earlier handler
        auto ready = it->second.ready;
        WatchId wid = it->first;
        it->second.busy = true;
        (*ready)(fds[k].revents);
        auto again = watches_.find(wid);
        if (again != watches_.end()) again->second.busy = false;
        ++handled;
      }
    } else if (want_signals) {
      handled += drain_signals();  // a signal that arrived while poll was not waiting
    }

    handled += run_due_timers();

    for (size_t k = 0; k < posted_now && !posted_.empty(); ++k) {
      Callback task = std::move(posted_.front());
      posted_.pop_front();
      if (task) task();
      ++handled;
    }
    return handled;
  }

  int drain_signals() {
    SignalState& s = signals();
    int handled = 0;
    unsigned char buf[64];
    for (;;) {
      ssize_t r = ::read(s.pipe_rd, buf, sizeof buf);
      if (r <= 0) break;
      for (ssize_t i = 0; i < r; ++i) {
        int signo = buf[i];
        if (signo <= 0 || signo >= NSIG) continue;
        if (s.pending[signo] > 0) s.pending[signo] = s.pending[signo] - 1;
        if (s.force[signo]) s.stop_requested = 0;   // handled the normal way from here
        auto it = s.handlers.find(signo);
        if (it == s.handlers.end()) continue;
        auto handler = it->second;  // the handler may replace itself
        handler(signo);
        ++handled;
      }
    }
    return handled;
  }

  int run_due_timers() {
    int handled = 0;
    int64_t now = now_ns();
    std::vector<TimerId> due;
    for (auto& [id, t] : timers_)
      if (!t.busy && t.deadline <= now) due.push_back(id);
    for (TimerId id : due) {
      auto it = timers_.find(id);
      if (it == timers_.end() || it->second.busy) continue;  // killed by an earlier tick
      Timer& t = it->second;
      t.deadline = now_ns() + t.interval_ns;
      t.busy = true;
      auto tick = t.tick;
      (*tick)();
      auto again = timers_.find(id);
      if (again != timers_.end()) again->second.busy = false;
      ++handled;
    }
    return handled;
  }

  int timer_fd_ = -1;
  Waiter* waiter_ = nullptr;
  uint64_t last_id_ = 0;
  std::map<TimerId, Timer> timers_;
  std::map<WatchId, Watch> watches_;
  std::deque<Callback> posted_;
  int holds_ = 0;
  bool quit_ = false;
};

EventLoop* g_installed = nullptr;

}  // namespace

std::unique_ptr<EventLoop> make_poll_event_loop() { return std::make_unique<PollEventLoop>(); }

EventLoop& event_loop() {
  if (g_installed) return *g_installed;
  static std::unique_ptr<EventLoop> own = make_poll_event_loop();
  return *own;
}

void set_event_loop(EventLoop* loop) { g_installed = loop; }

}  // namespace qz
