// Environment entries, memory figures, priority classes and the lock-key fallback.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "runtime/helpers/system_status.h"

namespace qz {
namespace {

TEST(Environment, NameBeforeTheFirstEqualsSign) {
  ::setenv("QZ_TEST_ENV", "a=b=c\r\nd", 1);
  bool found = false;
  for (auto& [name, value] : environment_entries()) {
    if (name != u"QZ_TEST_ENV") continue;
    found = true;
    EXPECT_EQ(value, u"a=b=cd");
  }
  EXPECT_TRUE(found);
  ::unsetenv("QZ_TEST_ENV");
}

TEST(MemoryStatus, ParsedAsBytesBeyondTwoGigabytes) {
  const char* meminfo =
      "MemTotal:       16318480 kB\nMemFree:         1000000 kB\nMemAvailable:    8000000 kB\n"
      "SwapTotal:       2097148 kB\nSwapFree:        2000000 kB\n";
  MemoryStatus m = parse_memory_status(meminfo, "Name:\tx\nVmSize:\t  100000 kB\n");
  EXPECT_DOUBLE_EQ(m.total_phys, 16318480.0 * 1024);
  EXPECT_DOUBLE_EQ(m.free_phys, 8000000.0 * 1024);
  EXPECT_DOUBLE_EQ(m.total_page_file, (16318480.0 + 2097148.0) * 1024);
  EXPECT_DOUBLE_EQ(m.free_page_file, (8000000.0 + 2000000.0) * 1024);
  EXPECT_DOUBLE_EQ(m.total_virtual - m.free_virtual, 100000.0 * 1024);
  // Without MemAvailable (old kernels) the free figure is MemFree.
  EXPECT_DOUBLE_EQ(parse_memory_status("MemTotal: 10 kB\nMemFree: 4 kB\n", "").free_phys, 4096.0);
  MemoryStatus empty = parse_memory_status("", "");
  EXPECT_EQ(empty.total_phys, 0);

  MemoryStatus live = memory_status();
  EXPECT_GT(live.total_phys, 0);
  EXPECT_LE(live.free_phys, live.total_phys);
  EXPECT_GT(live.free_virtual, 0);
}

TEST(Priority, ClassesAndTheCallingProcess) {
  EXPECT_EQ(nice_of_priority_class(64), 19);
  EXPECT_EQ(nice_of_priority_class(32), 0);
  EXPECT_EQ(nice_of_priority_class(256), -20);
  EXPECT_FALSE(nice_of_priority_class(7).has_value());
  EXPECT_FALSE(set_priority_class(7, 0));
  // Lowering our own priority is always allowed; do it in a child so the test run keeps its own.
  pid_t child = ::fork();
  if (child == 0) {
    bool ok = set_priority_class(16384, ::getpid()) && ::getpriority(PRIO_PROCESS, 0) == 10;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(KeyboardLock, UnknownKeyAndNoConsole) {
  EXPECT_EQ(keyboard_lock(4, true), 0);
  EXPECT_EQ(keyboard_lock(0, false), 0);
  int32_t state = keyboard_lock(2, false);
  EXPECT_TRUE(state == 0 || state == 1);
}

TEST(PlaySound, NothingToPlay) {
  EXPECT_EQ(play_sound_file(u"", false), 0);
  EXPECT_EQ(play_sound_file(u"/nonexistent/sound.wav", false), 0);
}

}  // namespace
}  // namespace qz
