// The console object with standard input and output on pipes: plain text, no control
// sequences, lines and single characters read in order.
#include "services/console/console_object.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "com/convert.h"
#include "com/error.h"
#include "platform/output.h"

namespace qz {
namespace {

class ConsoleOnPipes : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::pipe(out_), 0);
    ASSERT_EQ(::pipe(in_), 0);
    old_out_ = set_stdout_fd(out_[1]);
    old_in_ = set_stdin_fd(in_[0]);
  }
  void TearDown() override {
    set_stdout_fd(old_out_);
    set_stdin_fd(old_in_);
    for (int fd : {out_[0], out_[1], in_[0], in_[1]})
      if (fd >= 0) ::close(fd);
  }
  void type(std::string_view bytes, bool end = true) {
    ASSERT_EQ(::write(in_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (end) {
      ::close(in_[1]);
      in_[1] = -1;
    }
  }
  std::string output() {
    flush_stdout();
    std::string out;
    char buf[4096];
    ::close(out_[1]);
    out_[1] = -1;
    ssize_t n;
    while ((n = ::read(out_[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    return out;
  }
  Variant call(std::u16string_view name, std::vector<Variant> args = {}) { return console->call(name, std::move(args)); }

  int out_[2], in_[2], old_out_ = -1, old_in_ = -1;
  Ref<Object> console = new_console_object();
};

TEST_F(ConsoleOnPipes, NothingHappensBeforeOpenOrAfterClose) {
  type("line\n");
  call(u"PrintText", {Variant(u"hidden"), Variant(int16_t{14}), Variant(int16_t{-1})});
  EXPECT_EQ(to_u16(call(u"ReadText")), u"");
  EXPECT_EQ(to_u16(call(u"ReadChar")), u"");
  call(u"ConsoleOpen", {Variant(u"Title")});
  call(u"PrintText", {Variant(u"shown"), Variant(int16_t{-1}), Variant(int16_t{-1})});
  call(u"ConsoleClose");
  call(u"PrintText", {Variant(u"gone"), Variant(int16_t{-1}), Variant(int16_t{-1})});
  // The line typed before is still there for a later read.
  call(u"ConsoleOpen", {Variant(u"Again")});
  EXPECT_EQ(to_u16(call(u"ReadText")), u"line");
  EXPECT_EQ(output(), "shown");
}

TEST_F(ConsoleOnPipes, PlainTextWithoutControlSequences) {
  call(u"ConsoleOpen", {Variant(u"Title")});
  call(u"Locate", {Variant(int32_t{5}), Variant(int32_t{2})});
  call(u"PrintText", {Variant(u"жёлтый"), Variant(int16_t{14}), Variant(int16_t{-1})});
  call(u"PrintText", {Variant(u" plain\n"), Variant(int16_t{-1}), Variant(int16_t{-1})});
  EXPECT_EQ(output(), "жёлтый plain\n");
}

TEST_F(ConsoleOnPipes, ReadsLinesAndSingleCharactersInOrder) {
  type("abc\r\nxy\nlast");
  call(u"ConsoleOpen", {Variant(u"")});
  EXPECT_EQ(to_u16(call(u"ReadText")), u"abc");
  EXPECT_EQ(to_u16(call(u"ReadChar")), u"x");
  EXPECT_EQ(to_u16(call(u"ReadChar")), u"y");
  EXPECT_EQ(to_u16(call(u"ReadChar")), u"\n");
  EXPECT_EQ(to_u16(call(u"ReadText")), u"last");
  EXPECT_EQ(to_u16(call(u"ReadText")), u"");  // end of input
  EXPECT_EQ(to_u16(call(u"ReadChar")), u"");
}

TEST_F(ConsoleOnPipes, PipedBytesAreReadThroughTheLosslessPage) {
  type("\xC0\xFF\n");
  call(u"ConsoleOpen", {Variant(u"")});
  std::u16string line = to_u16(call(u"ReadText"));
  ASSERT_EQ(line.size(), 2u);  // two bytes, two characters, whatever the page
}

TEST_F(ConsoleOnPipes, OutOfRangeNumbersRaiseOverflow) {
  call(u"ConsoleOpen", {Variant(u"")});
  auto error_of = [&](std::u16string_view name, std::vector<Variant> args) {
    try {
      call(name, std::move(args));
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  };
  EXPECT_EQ(error_of(u"Locate", {Variant(int32_t{40000}), Variant(int32_t{0})}), kErrOverflow);
  EXPECT_EQ(error_of(u"Locate", {Variant(int32_t{-1}), Variant(int32_t{0})}), 0);  // refused quietly
  EXPECT_EQ(error_of(u"PrintText", {Variant(u"a"), Variant(int32_t{70000}), Variant(int16_t{0})}), kErrOverflow);
  EXPECT_EQ(error_of(u"PrintText", {Variant(u"b"), Variant(int16_t{0}), Variant(int16_t{2048})}), kErrOverflow);
  EXPECT_EQ(error_of(u"PrintText", {Variant(u"c"), Variant(int16_t{15}), Variant(int16_t{2047})}), 0);
  EXPECT_EQ(output(), "c");
}

}  // namespace
}  // namespace qz
