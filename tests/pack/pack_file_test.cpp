// Packing a file where it lies: once only, keeping its mode, never harming it on failure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/pack/file_replace.h"
#include "engine/pack/pack_file.h"
#include "tests/pack/test_files.h"

namespace qz::pack {
namespace {

using test::read_file;
using test::write_file;

const std::string kScript = "Sub Load(a)\r\n  sys.Echo a\r\nEnd Sub\r\n";

TEST(PackFile, PacksOnceAndKeepsTheMode) {
  test::ScratchFolder dir;
  const std::string path = dir / "app.qz";
  write_file(path, kScript);
  ::chmod(path.c_str(), 0640);
  std::string error;
  ASSERT_EQ(pack_file(path, {7, 0, 1}, error), PackFileStatus::Packed) << error;
  const std::string packed = read_file(path);
  EXPECT_TRUE(is_packed(packed));
  EXPECT_EQ(test::file_mode(path), 0640u);
  std::string reason;
  EXPECT_EQ(unpack(packed, reason).value_or("?"), kScript);

  EXPECT_EQ(pack_file(path, {}, error), PackFileStatus::AlreadyPacked);
  EXPECT_EQ(read_file(path), packed);
}

TEST(PackFile, PacksTheFileASymbolicLinkNames) {
  test::ScratchFolder dir;
  write_file(dir / "real.qz", kScript);
  ASSERT_EQ(::symlink((dir / "real.qz").c_str(), (dir / "link.qz").c_str()), 0);
  std::string error;
  ASSERT_EQ(pack_file(dir / "link.qz", {}, error), PackFileStatus::Packed) << error;
  struct stat st;
  ASSERT_EQ(::lstat((dir / "link.qz").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(is_packed(read_file(dir / "real.qz")));
}

TEST(PackFile, FailuresAreReportedAndLeaveNoTrace) {
  test::ScratchFolder dir;
  std::string error;
  EXPECT_EQ(pack_file(dir / "missing.qz", {}, error), PackFileStatus::Failed);
  EXPECT_NE(error.find("missing.qz"), std::string::npos);

  // The target cannot be replaced (a folder stands under its name): the temporary file goes.
  ::mkdir((dir / "folder.qz").c_str(), 0755);
  error.clear();
  EXPECT_FALSE(replace_file(dir / "folder.qz", "bytes", std::nullopt, error));
  EXPECT_FALSE(error.empty());
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 0);
}

TEST(PackFile, ReplaceFileSetsTheModeItIsGiven) {
  test::ScratchFolder dir;
  const std::string path = dir / "prog";
  std::string error;
  ASSERT_TRUE(replace_file(path, "abc", 0755, error)) << error;
  EXPECT_EQ(read_file(path), "abc");
  EXPECT_EQ(test::file_mode(path), 0755u);
  ASSERT_TRUE(replace_file(path, "new", std::nullopt, error)) << error;
  EXPECT_EQ(test::file_mode(path), 0755u);
}

}  // namespace
}  // namespace qz::pack
