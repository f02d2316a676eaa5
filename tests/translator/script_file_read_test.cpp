// Script, include and library files are read only when they are regular files within the cap:
// devices, pipes and folders are refused at once instead of being read without end.
#include "engine/translator/script_file_read.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace qz {
namespace {

TEST(ScriptFileRead, OnlyRegularFilesWithinTheCap) {
  char tmpl[] = "/tmp/qz-script-read-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  std::ofstream(dir + "/small.qz", std::ios::binary) << "Print 1";
  std::ofstream(dir + "/large.qz", std::ios::binary) << std::string(5000, 'x');
  ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0600), 0);  // no writer: a blocking open would hang

  struct Case {
    std::string path;
    ScriptFileRead expected;
  } cases[] = {
      {dir + "/small.qz", ScriptFileRead::Read},
      {dir + "/large.qz", ScriptFileRead::TooLarge},
      {"/dev/zero", ScriptFileRead::NotRegular},
      {dir + "/pipe", ScriptFileRead::NotRegular},
      {dir, ScriptFileRead::NotRegular},
      {dir + "/missing.qz", ScriptFileRead::Unreadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string bytes = "old";
    EXPECT_EQ(read_script_file(c.path, bytes, 4096), c.expected);
    EXPECT_EQ(bytes, c.expected == ScriptFileRead::Read ? "Print 1" : "");
    if (c.expected != ScriptFileRead::Read) EXPECT_EQ(script_file_problem(c.path, 4096), c.expected);
  }
  // The default cap takes a file of any usual size.
  std::string bytes;
  EXPECT_EQ(read_script_file(dir + "/large.qz", bytes), ScriptFileRead::Read);
  EXPECT_EQ(bytes.size(), 5000u);
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace qz
