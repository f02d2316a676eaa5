#include "platform/output.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/platform/env_guard.h"

namespace qz {
namespace {

using test_support::EnvGuard;

std::string read_fd_from_start(int fd) {
  std::string data;
  char buf[4096];
  ssize_t n;
  off_t pos = 0;
  while ((n = pread(fd, buf, sizeof buf, pos)) > 0) data.append(buf, static_cast<size_t>(n)), pos += n;
  return data;
}

int temp_fd_with(const std::string& content) {
  char path[] = "/tmp/quazel-io-XXXXXX";
  int fd = mkstemp(path);
  unlink(path);
  if (fd >= 0 && !content.empty()) {
    EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    lseek(fd, 0, SEEK_SET);
  }
  return fd;
}

// Standard output goes to a temporary file for the test.
class StdoutCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    fd_ = temp_fd_with("");
    ASSERT_GE(fd_, 0);
    old_ = set_stdout_fd(fd_);
  }
  void TearDown() override {
    set_stdout_fd(old_);
    close(fd_);
  }
  std::string written() { return read_fd_from_start(fd_); }
  EnvGuard env_{"QUAZEL_OUTPUT_CP", "QUAZEL_LANGID"};
  int fd_ = -1, old_ = -1;
};

TEST_F(StdoutCapture, TextGoesThroughTheOutputCodePage) {
  struct Case { const char* cp; std::u16string text; std::string bytes; };
  const Case cases[] = {
      {nullptr, u"\u041F\u0440\u0438 \u20AC", "\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x82\xAC"},
      {"1251", u"\u041F\u0440\u0438 \u20AC", "\xCF\xF0\xE8 \x88"},
      {"1251", u"\u0098\u00E9", "\x98?"},                 // the free byte round-trips; no byte: '?'
      {"1252", u"\u0081\u00E9\u20AC", "\x81\xE9\x80"},
      {"866", u"\u0401", "\xF0"},
      {"20866", u"\u0416", "\xF6"},
      {"bogus", u"\u0416", "\xD0\x96"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cp ? c.cp : "(unset)");
    ASSERT_EQ(ftruncate(fd_, 0), 0);
    lseek(fd_, 0, SEEK_SET);
    EnvGuard::set("QUAZEL_OUTPUT_CP", c.cp);
    write_stdout(Str(c.text));
    ASSERT_TRUE(flush_stdout());
    EXPECT_EQ(written(), c.bytes);
  }
}

TEST_F(StdoutCapture, ByteStringsAreWrittenUnchanged) {
  const char raw[] = {'\xFF', '\0', 'A'};
  write_stdout(Str::from_bytes(raw, 3));        // odd length: a byte string
  write_stdout_bytes(std::string_view("\x80\x00", 2));
  flush_stdout();
  EXPECT_EQ(written(), std::string("\xFF\0A\x80\0", 5));
}

TEST_F(StdoutCapture, SurrogatePairSplitAcrossWritesStaysOneCharacter) {
  write_stdout_text(u"a\xD83D");
  write_stdout_text(u"\xDE00" "b");
  write_stdout_text(u"\xD83D");               // unpaired: replaced once bytes follow
  write_stdout_bytes("!");
  flush_stdout();
  EXPECT_EQ(written(), "a\xF0\x9F\x98\x80" "b\xEF\xBF\xBD!");
}

TEST_F(StdoutCapture, BufferedUntilFlushedOrFull) {
  write_stdout_text(u"held");
  EXPECT_EQ(written(), "");
  std::u16string big(70000, u'x');
  write_stdout_text(big);
  EXPECT_EQ(written().size(), 4u + 70000u);
  write_stdout_text(u"tail");
  testing::internal::CaptureStderr();
  write_stderr(u"note \u0416\n");           // the error stream flushes standard output first
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "note \xD0\x96\n");
  EXPECT_EQ(written().substr(written().size() - 4), "tail");
}

TEST(Stdout, FlushedAtExit) {
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(p[0]);
    set_stdout_fd(p[1]);
    write_stdout_text(u"bye\xD83D");  // even a held surrogate half comes out
    std::exit(0);
  }
  close(p[1]);
  std::string got;
  char buf[256];
  ssize_t n;
  while ((n = read(p[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<size_t>(n));
  close(p[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(got, "bye\xEF\xBF\xBD");
}

class StdinFrom : public ::testing::Test {
 protected:
  void feed(const std::string& data) {
    fd_ = temp_fd_with(data);
    ASSERT_GE(fd_, 0);
    old_ = set_stdin_fd(fd_);
  }
  void TearDown() override {
    if (fd_ >= 0) {
      set_stdin_fd(old_);
      close(fd_);
    }
  }
  int fd_ = -1, old_ = -1;
};

TEST_F(StdinFrom, LinesEndWithLfOrCrLf) {
  feed("one\r\ntwo\n\nlast\r");
  EXPECT_EQ(read_stdin_line(), "one");
  EXPECT_EQ(read_stdin_line(), "two");
  EXPECT_EQ(read_stdin_line(), "");
  EXPECT_EQ(read_stdin_line(), "last\r");   // no line end: kept as it came
  EXPECT_EQ(read_stdin_line(), std::nullopt);
  EXPECT_EQ(read_stdin(10), "");
}

TEST_F(StdinFrom, BytesAreRawAndReadsMix) {
  const char raw[] = "\xFF\0\x80 first\nrest of it";
  std::string data(raw, sizeof raw - 1);
  feed(data);
  EXPECT_EQ(read_stdin(3), std::string("\xFF\0\x80", 3));
  EXPECT_EQ(read_stdin_line(), " first");
  EXPECT_EQ(read_stdin(4), "rest");
  EXPECT_EQ(read_stdin_all(), " of it");
  EXPECT_EQ(read_stdin_all(), "");
}

TEST_F(StdinFrom, LongInputAcrossManyReads) {
  std::string line(200000, 'x');
  feed(line + "\n" + std::string(150000, 'y'));
  EXPECT_EQ(read_stdin_line(), line);
  EXPECT_EQ(read_stdin(100000), std::string(100000, 'y'));
  EXPECT_EQ(read_stdin(100000), std::string(50000, 'y'));
}

}  // namespace
}  // namespace qz
