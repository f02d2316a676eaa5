// run_piped: the helper programs behind the printer members get their input and give their
// output in full, whatever the size, and a program that fails, is missing or hangs gives nothing.
#include <gtest/gtest.h>

#include <string>

#include "runtime/helpers/program_pipe.h"

namespace qz {
namespace {

TEST(ProgramPipe, InputComesBackThroughAFilter) {
  EXPECT_EQ(run_piped({"cat"}, "line one\nline two\n", 5000), "line one\nline two\n");
  EXPECT_EQ(run_piped({"tr", "a-z", "A-Z"}, "abc", 5000), "ABC");
}

TEST(ProgramPipe, OutputWithoutInput) {
  EXPECT_EQ(run_piped({"printf", "%s\\n", "x", "y"}, {}, 5000), "x\ny\n");
}

// Both directions larger than a pipe holds: feeding and draining must overlap.
TEST(ProgramPipe, LargeInputAndOutputDoNotDeadlock) {
  std::string big(1 << 20, 'q');
  for (size_t i = 0; i < big.size(); i += 100) big[i] = '\n';
  std::optional<std::string> out = run_piped({"cat"}, big, 10000);
  ASSERT_TRUE(out.has_value());
  EXPECT_EQ(out->size(), big.size());
  EXPECT_TRUE(*out == big);
}

// A program that stops reading early must not take the caller down or hang it.
TEST(ProgramPipe, ProgramThatIgnoresItsInput) {
  std::string big(1 << 20, 'z');
  EXPECT_EQ(run_piped({"true"}, big, 5000), "");
}

TEST(ProgramPipe, FailuresGiveNothing) {
  EXPECT_FALSE(run_piped({"false"}, {}, 5000).has_value());
  EXPECT_FALSE(run_piped({"no-such-program-anywhere"}, "x", 5000).has_value());
  EXPECT_FALSE(run_piped({}, {}, 5000).has_value());
}

TEST(ProgramPipe, HangingProgramIsKilledAtTheTimeLimit) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(run_piped({"sleep", "5"}, {}, 200).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace qz
