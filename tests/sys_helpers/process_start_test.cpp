// Command lines split as the platform splits them, and programs started with and without
// waiting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "com/str.h"
#include "platform/path.h"
#include "runtime/helpers/process_start.h"

namespace qz {
namespace {

using Words = std::vector<std::u16string>;

TEST(SplitCommandLine, ProgramThenArguments) {
  struct Case { const char16_t* line; Words words; };
  const Case cases[] = {
      {u"notepad", {u"notepad"}},
      {u"  prog a b  ", {u"prog", u"a", u"b"}},
      {u"\"C:\\Program Files\\x.exe\" /s", {u"C:\\Program Files\\x.exe", u"/s"}},
      {u"prog \"two words\" x", {u"prog", u"two words", u"x"}},
      {u"prog a\\\"b", {u"prog", u"a\"b"}},
      {u"prog a\\\\\"b c\"", {u"prog", u"a\\b c"}},
      {u"prog C:\\dir\\", {u"prog", u"C:\\dir\\"}},
      {u"prog \"say \"\"hi\"\"\"", {u"prog", u"say \"hi\""}},
      {u"prog \"\"", {u"prog", u""}},
      {u"", {}},
      {u"   ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(split_command_line(c.line), c.words) << u16_to_utf8(c.line);
}

TEST(StartProgram, ReturnsTheProcessId) {
  std::string marker = temp_folder() + "qz_shell_" + std::to_string(::getpid());
  ::unlink(marker.c_str());
  int32_t pid = start_program(u"sh -c \"echo started > " + utf8_to_u16(marker) + u"\"");
  ASSERT_GT(pid, 0);
  for (int i = 0; i < 200 && !file_exists(marker); ++i) ::usleep(10000);
  EXPECT_TRUE(file_exists(marker));
  ::unlink(marker.c_str());
  EXPECT_EQ(start_program(u"/nonexistent/program"), 0);
  EXPECT_EQ(start_program(u"no-such-program-anywhere"), 0);
  EXPECT_EQ(start_program(u""), 0);
}

TEST(RunProgramAndWait, WaitsOrGivesUp) {
  EXPECT_TRUE(run_program_and_wait(u"true", 0));
  EXPECT_TRUE(run_program_and_wait(u"sh -c \"exit 3\"", -5));  // the exit status does not matter
  EXPECT_FALSE(run_program_and_wait(u"no-such-program-anywhere", 0));

  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(run_program_and_wait(u"sleep 5", 50));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(run_program_and_wait(u"sleep 0.05", 5000));
}

TEST(FindInPath, LooksInPathOnly) {
  EXPECT_NE(find_in_path("sh"), "");
  EXPECT_EQ(find_in_path("no-such-program-anywhere"), "");
  EXPECT_EQ(find_in_path("/bin/sh"), "/bin/sh");
  EXPECT_EQ(find_in_path(""), "");
}

}  // namespace
}  // namespace qz
