// The one-thread event loop that stands in for the platform's message loop: window timers,
// watched file descriptors (sockets, pipes), signals and posted messages, all dispatched on the
// thread that runs the loop. DoEvents is do_events().
//
// The loop also knows when nothing could ever produce an event again: run() returns on its own
// when no timer, posted task, keep-alive watch or hold is left. That is how a command-line
// script ends by itself once its Load has returned and it set no timer, form or socket.
//
// There is one loop per process. A shared library loaded at run time (the engine) adopts the
// loop of the program that loaded it through set_event_loop(), so both see the same timers.
#pragma once
#include <poll.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>

namespace qz {

class EventLoop {
 public:
  using Callback = std::function<void()>;
  using TimerId = uint64_t;   // never 0
  using WatchId = uint64_t;   // never 0

  // Window timers accept no shorter period than this; shorter ones are raised to it.
  static constexpr uint32_t kMinTimerMs = 10;
  static constexpr uint32_t kMaxTimerMs = 0x7FFFFFFF;

  virtual ~EventLoop() = default;

  // A periodic timer: `tick` runs every interval_ms until kill_timer. A late timer runs once,
  // not once per period missed, and a tick is not entered again while it is still running
  // (a tick that calls do_events does not see itself).
  virtual TimerId set_timer(uint32_t interval_ms, Callback tick) = 0;
  // Stops a timer; false when there is no such timer. Safe from inside its own tick.
  virtual bool kill_timer(TimerId id) = 0;
  virtual bool has_timer(TimerId id) const = 0;

  // Runs `task` once on a later pass, after the tasks posted before it (a posted message).
  virtual void post(Callback task) = 0;

  // Watches fd for poll(2) `events`; `ready` receives the returned events. While a keep-alive
  // watch exists, run() does not end on its own (an open socket can still bring events).
  virtual WatchId watch_fd(int fd, short events, std::function<void(short)> ready, bool keep_alive = true) = 0;
  virtual void set_fd_events(WatchId id, short events) = 0;
  virtual void unwatch_fd(WatchId id) = 0;

  // Runs `handler` from the loop (never inside the signal itself) each time signo arrives.
  // With force_on_repeat, a second arrival of the signal before the loop has handled the first
  // ends the process the default way: a script stuck in a loop can still be stopped.
  virtual void on_signal(int signo, std::function<void(int)> handler, bool force_on_repeat = false) = 0;
  // Gives the signal back its default action.
  virtual void clear_signal(int signo) = 0;
  // Non-zero from the moment a signal registered with force_on_repeat (a stop request) arrives
  // (set inside the signal handler itself) until the loop runs its handler: code that runs
  // long without giving the loop control reads it and returns to the loop. nullptr: none.
  virtual const volatile sig_atomic_t* stop_request() const { return nullptr; }

  // Something outside the loop that can still run script code (a visible form, a host event
  // source): while any hold is taken, run() does not end on its own.
  virtual void hold() = 0;
  virtual void release() = 0;

  // Handles what is ready now, without waiting. Returns the number of events handled.
  virtual int do_events() = 0;
  // Waits until something is ready, then handles it (one pass of run(); a modal form's loop).
  virtual int run_once() { return do_events(); }
  // Runs until quit() (returns true) or until nothing is left that could bring an event
  // (returns false). quit() made before run() is entered ends the next run() at once.
  virtual bool run() = 0;
  virtual void quit() = 0;
  // True from quit() until the next run() starts.
  virtual bool quitting() const = 0;

  // A toolkit with an event queue of its own (the window system) takes over the waiting: it
  // hands out its own events while it waits for the loop's descriptors, and returns what
  // poll(2) would. nullptr goes back to plain poll(2).
  class Waiter {
   public:
    virtual ~Waiter() = default;
    virtual int wait(pollfd* fds, size_t count, int timeout_ms) = 0;
  };
  virtual void set_waiter(Waiter* waiter) { (void)waiter; }
};

// The process's loop: the one installed with set_event_loop(), else one made on first use.
EventLoop& event_loop();
// Installs `loop` as the process's loop (nullptr goes back to a loop of this module's own).
// The caller keeps ownership.
void set_event_loop(EventLoop* loop);
// A new poll(2)-based loop (timerfd for timers, a self-pipe for signals).
std::unique_ptr<EventLoop> make_poll_event_loop();

}  // namespace qz
