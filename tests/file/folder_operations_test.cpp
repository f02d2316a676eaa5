#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/error_of.h"
#include "com/error.h"
#include "file_fixture.h"
#include "services/file/folder_operations.h"

namespace qz {
namespace {

using FolderOperations = TempTree;

TEST_F(FolderOperations, CopyFolderMergesAndOverwritesAndCopiesLinksAsLinks) {
  mkdir("src");
  mkdir("src/inner");
  write("src/a.txt", "new a");
  write("src/inner/b.txt", "b");
  ASSERT_EQ(::symlink("a.txt", os("src/link").c_str()), 0);
  mkdir("dst");
  write("dst/a.txt", "old a");
  write("dst/other.txt", "stays");
  copy_folder(sp("src"), sp("dst"));
  EXPECT_EQ(read("dst/a.txt"), "new a");
  EXPECT_EQ(read("dst/inner/b.txt"), "b");
  EXPECT_EQ(read("dst/other.txt"), "stays");
  struct stat st{};
  ASSERT_EQ(::lstat(os("dst/link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  copy_folder(sp("src"), sp("dst") + u"\\");  // a trailing separator: into the folder
  EXPECT_EQ(read("dst/src/inner/b.txt"), "b");
}

TEST_F(FolderOperations, AFolderIsNeverCopiedOrMovedIntoItself) {
  mkdir("loop");
  write("loop/f.txt", "f");
  EXPECT_EQ(error_of([&] { copy_folder(sp("loop"), sp("loop/deeper")); }), 70);
  EXPECT_FALSE(exists("loop/deeper"));
  EXPECT_EQ(error_of([&] { move_folder(sp("loop"), sp("loop/deeper")); }), 70);
  EXPECT_EQ(read("loop/f.txt"), "f");
}

TEST_F(FolderOperations, MovesRefuseToOverwrite) {
  write("one.txt", "1");
  write("two.txt", "2");
  EXPECT_EQ(error_of([&] { move_file(sp("one.txt"), sp("two.txt")); }), 58);
  EXPECT_EQ(error_of([&] { rename_file(sp("one.txt"), sp("two.txt")); }), 58);
  EXPECT_EQ(read("two.txt"), "2");
  EXPECT_EQ(error_of([&] { rename_file(sp("none.txt"), sp("x.txt")); }), 53);
  rename_file(sp("ONE.TXT"), sp("Renamed.txt"));
  EXPECT_EQ(read("Renamed.txt"), "1");
  mkdir("into");
  write("p1.log", "a");
  write("p2.log", "b");
  move_file(sp("*.log"), sp("into"));
  EXPECT_EQ(read("into/p1.log"), "a");
  EXPECT_EQ(read("into/p2.log"), "b");
  EXPECT_EQ(error_of([&] { move_file(sp("*.log"), sp("into")); }), 53);
  mkdir("f1");
  move_folder(sp("f1"), sp("f2"));
  EXPECT_TRUE(exists("f2"));
  EXPECT_FALSE(exists("f1"));
}

TEST_F(FolderOperations, DeleteFolderTakesReadOnlyContentsButNotLinkTargets) {
  mkdir("outside");
  write("outside/keep.txt", "keep");
  mkdir("gone");
  mkdir("gone/locked");
  write("gone/locked/ro.txt", "ro");
  ::chmod(os("gone/locked/ro.txt").c_str(), 0444);
  ::chmod(os("gone/locked").c_str(), 0555);
  ASSERT_EQ(::symlink(os("outside").c_str(), os("gone/link").c_str()), 0);
  delete_folder(sp("gone"));
  EXPECT_FALSE(exists("gone"));
  EXPECT_EQ(read("outside/keep.txt"), "keep");
  EXPECT_EQ(error_of([&] { delete_folder(sp("gone")); }), 76);
}

TEST_F(FolderOperations, KillTakesMatchingFilesOnly) {
  write("x1.tmp", "");
  write("x2.TMP", "");
  mkdir("x3.tmp");
  write("keep.txt", "");
  kill_files(sp("x*.tmp"));
  EXPECT_FALSE(exists("x1.tmp"));
  EXPECT_FALSE(exists("x2.TMP"));
  EXPECT_TRUE(exists("x3.tmp"));
  EXPECT_TRUE(exists("keep.txt"));
  EXPECT_EQ(error_of([&] { kill_files(sp("x*.tmp")); }), 53);
}

}  // namespace
}  // namespace qz
