// The engine's command-line modes, and the rule that an existing file's path starts a line.
#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <set>

namespace qz {
namespace {

using Mode = ParsedCommand::Mode;

struct Case {
  const char16_t* line;
  Mode mode;
  const char16_t* file;
  const char16_t* arg;  // nullptr: no argument text was found
};

const std::set<std::u16string> kFiles = {u"/tmp/a.qz", u"scripts/a.qz", u"/tmp/my script.qz"};

bool is_file(std::u16string_view p) { return kFiles.count(std::u16string(p)) > 0; }

TEST(CommandLine, Modes) {
  const Case cases[] = {
      // mode 0, the platform's forms
      {u"C:\\scripts\\a.qz /x y", Mode::Path, u"C:\\scripts\\a.qz", u"x y"},
      {u"\"C:\\my scripts\\a.qz\" arg", Mode::Path, u"C:\\my scripts\\a.qz", u"arg"},
      {u"C:\\a.qz /make", Mode::Path, u"C:\\a.qz", u"make"},
      {u"/starts with a slash", Mode::Path, u"/starts with a slash", nullptr},
      {u"Print 1", Mode::Path, u"Print 1", u""},
      // mode 1: free text, then a quoted drive path with forward slashes
      {u"arg \"c:/dir/a.qz\"", Mode::QuotedDrivePath, u"c:\\dir\\a.qz", u"arg"},
      {u"arg \"c://dir//a.qz\"", Mode::QuotedDrivePath, u"c:\\dir\\a.qz", u"arg"},
      // mode 2: inline code
      {u"Print 1~Print 2 /run", Mode::Inline, u"Print 1\r\nPrint 2", u"run"},
      {u"Print 1~~~Print 2 /RUN\r\n", Mode::Inline, u"Print 1\r\nPrint 2", u"run"},
      {u"x.qz /RUN", Mode::Inline, u"x.qz", u"run"},
      {u"arg \"c:/a.qz\" /run", Mode::Inline, u"arg \"c:/a.qz\"", u"run"},
      {u"/run", Mode::Inline, u"", u"run"},
      {u"a /run b /run", Mode::Inline, u"a /run b", u"run"},
      {u"Print 1\r\nPrint 2 /run", Mode::Inline, u"Print 1\r\nPrint 2", u"run"},
      // an existing file first: Linux paths
      {u"/tmp/a.qz /make", Mode::Path, u"/tmp/a.qz", u"make"},
      {u"scripts/a.qz x y", Mode::Path, u"scripts/a.qz", u"x y"},
      {u"scripts/a.qz", Mode::Path, u"scripts/a.qz", u""},
      {u"scripts/a.qz   //x  ", Mode::Path, u"scripts/a.qz", u"x"},
      {u"\"/tmp/my script.qz\" \"quoted arg\" z", Mode::Path, u"/tmp/my script.qz", u"\"quoted arg\" z"},
      {u"/tmp/missing.qz x", Mode::Path, u"/tmp/missing.qz x", nullptr},
  };
  for (const Case& c : cases) {
    ParsedCommand p = parse_command_line(c.line, is_file);
    std::string label(c.line, c.line + std::char_traits<char16_t>::length(c.line));
    EXPECT_EQ(p.mode, c.mode) << label;
    EXPECT_EQ(p.file, c.file) << label;
    if (c.arg) {
      ASSERT_TRUE(p.arg.has_value()) << label;
      EXPECT_EQ(*p.arg, c.arg) << label;
    } else {
      EXPECT_FALSE(p.arg.has_value()) << label;
    }
  }
}

}  // namespace
}  // namespace qz
