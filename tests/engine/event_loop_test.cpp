// The one-thread event loop: timers, posted tasks, watched descriptors, signals, and the rule
// that run() ends by itself when nothing is left that could bring an event.
#include "platform/event_loop.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <string>
#include <vector>

namespace qz {
namespace {

using Clock = std::chrono::steady_clock;

TEST(EventLoop, TimerThatStopsItselfEndsTheRun) {
  auto loop = make_poll_event_loop();
  int ticks = 0;
  EventLoop::TimerId id = 0;
  id = loop->set_timer(10, [&] {
    if (++ticks == 3) loop->kill_timer(id);
  });
  auto start = Clock::now();
  EXPECT_FALSE(loop->run());  // ran out of work, nobody called quit()
  EXPECT_EQ(ticks, 3);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(25));
  EXPECT_FALSE(loop->has_timer(id));
}

TEST(EventLoop, ShortIntervalsAreRaisedToTheMinimum) {
  auto loop = make_poll_event_loop();
  int ticks = 0;
  EventLoop::TimerId id = loop->set_timer(0, [&] { ++ticks; });
  auto start = Clock::now();
  while (Clock::now() - start < std::chrono::milliseconds(55)) loop->do_events();
  loop->kill_timer(id);
  // Every 10 ms at most: an interval of 0 must not spin.
  EXPECT_GE(ticks, 2);
  EXPECT_LE(ticks, 6);
}

TEST(EventLoop, PostedTasksRunInOrderAndLaterPostsWaitForTheNextPass) {
  auto loop = make_poll_event_loop();
  std::vector<std::string> seen;
  loop->post([&] {
    seen.push_back("a");
    loop->post([&] { seen.push_back("c"); });
  });
  loop->post([&] { seen.push_back("b"); });
  EXPECT_EQ(loop->do_events(), 2);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
  loop->do_events();
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(loop->run());
}

TEST(EventLoop, QuitEndsRunAndIsForgottenAfterwards) {
  auto loop = make_poll_event_loop();
  EventLoop::TimerId forever = loop->set_timer(1000, [] {});
  loop->post([&] { loop->quit(); });
  EXPECT_TRUE(loop->run());
  EXPECT_FALSE(loop->quitting());
  loop->quit();                 // before run(): the next run ends at once
  EXPECT_TRUE(loop->run());
  loop->kill_timer(forever);
  EXPECT_FALSE(loop->run());
}

TEST(EventLoop, HoldKeepsTheRunAliveUntilReleased) {
  auto loop = make_poll_event_loop();
  loop->hold();
  int ticks = 0;
  EventLoop::TimerId id = 0;
  id = loop->set_timer(10, [&] {
    ++ticks;
    loop->kill_timer(id);
    loop->post([&] { loop->release(); });
  });
  EXPECT_FALSE(loop->run());
  EXPECT_EQ(ticks, 1);
}

TEST(EventLoop, TimerTickIsNotReenteredThroughDoEvents) {
  auto loop = make_poll_event_loop();
  int depth = 0, max_depth = 0, ticks = 0;
  EventLoop::TimerId id = 0;
  id = loop->set_timer(10, [&] {
    ++depth;
    max_depth = std::max(max_depth, depth);
    auto until = Clock::now() + std::chrono::milliseconds(30);
    while (Clock::now() < until) loop->do_events();  // our period passes meanwhile
    --depth;
    if (++ticks == 2) loop->kill_timer(id);
  });
  loop->run();
  EXPECT_EQ(max_depth, 1);
  EXPECT_EQ(ticks, 2);
}

TEST(EventLoop, TimerKilledByAnEarlierTickOfTheSamePassDoesNotRun) {
  auto loop = make_poll_event_loop();
  EventLoop::TimerId a = 0, b = 0;
  int b_ticks = 0;
  a = loop->set_timer(10, [&] {
    loop->kill_timer(a);
    loop->kill_timer(b);
  });
  b = loop->set_timer(10, [&] { ++b_ticks; });
  loop->run();
  EXPECT_EQ(b_ticks, 0);
}

TEST(EventLoop, WatchedDescriptorDeliversAndKeepsTheRunAlive) {
  auto loop = make_poll_event_loop();
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::string got;
  EventLoop::WatchId w = 0;
  w = loop->watch_fd(fds[0], POLLIN, [&](short revents) {
    char buf[16];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n > 0) got.append(buf, static_cast<size_t>(n));
    if (got.size() >= 5) loop->unwatch_fd(w);
  });
  EventLoop::TimerId t = 0;
  t = loop->set_timer(10, [&] {
    loop->kill_timer(t);
    ASSERT_EQ(::write(fds[1], "hello", 5), 5);
  });
  EXPECT_FALSE(loop->run());  // ends once the watch is gone
  EXPECT_EQ(got, "hello");
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST(EventLoop, SignalHandlerRunsFromTheLoop) {
  auto loop = make_poll_event_loop();
  int seen = 0;
  loop->on_signal(SIGUSR1, [&](int signo) {
    seen = signo;
    loop->quit();
  });
  loop->hold();  // nothing else to wait for: only the signal can end this run
  ::raise(SIGUSR1);
  EXPECT_TRUE(loop->run());
  EXPECT_EQ(seen, SIGUSR1);
  loop->release();
  loop->clear_signal(SIGUSR1);
}

TEST(EventLoop, SecondSignalBeforeTheLoopHandledTheFirstEndsTheProcess) {
  EXPECT_EXIT(
      {
        auto loop = make_poll_event_loop();
        loop->on_signal(SIGTERM, [](int) {}, true);
        ::raise(SIGTERM);  // queued: the loop does not run
        ::raise(SIGTERM);  // a script stuck in a loop can still be stopped
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
}  // namespace qz
