#include "platform/path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "com/str.h"
#include "tests/platform/env_guard.h"

namespace qz {
namespace {

using test_support::EnvGuard;
namespace fs = std::filesystem;

TEST(OsPath, SeparatorsAndDrives) {
  EnvGuard env({"QUAZEL_DRIVE_C", "QUAZEL_DRIVE_D", "QUAZEL_DRIVE_E"});
  struct Case { const char* drive_d; std::u16string in; std::string out; };
  const Case cases[] = {
      {nullptr, u"C:\\Data\\notes.ini", "/Data/notes.ini"},
      {nullptr, u"c:/Data\\x.txt", "/Data/x.txt"},
      {nullptr, u"C:", "/"},
      {nullptr, u"C:\\", "/"},
      {nullptr, u"C:name.txt", "/name.txt"},          // no current folder per drive
      {nullptr, u"D:\\data\\f", "/mnt/d/data/f"},
      {nullptr, u"e:\\", "/mnt/e/"},
      {"/srv/disk-d", u"D:\\data\\f", "/srv/disk-d/data/f"},
      {"/srv/disk-d/", u"d:data", "/srv/disk-d/data"},
      {"", u"D:\\x", "/mnt/d/x"},                     // empty counts as unset
      {nullptr, u"rel\\sub\\file.qz", "rel/sub/file.qz"},
      {nullptr, u"\\\\server\\share\\f", "//server/share/f"},
      {nullptr, u"/already/unix/", "/already/unix/"},
      {nullptr, u"1:\\x", "1:/x"},                    // not a drive letter
      {nullptr, u"C:\\\u041F\u0430\u043F\u043A\u0430", "/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0"},
      {nullptr, u"", ""},
  };
  for (const auto& c : cases) {
    EnvGuard::set("QUAZEL_DRIVE_D", c.drive_d);
    EXPECT_EQ(os_path(c.in), c.out) << u16_to_utf8(c.in) << " with QUAZEL_DRIVE_D=" << (c.drive_d ? c.drive_d : "-");
  }
  EnvGuard::set("QUAZEL_DRIVE_C", "/home/user");
  EXPECT_EQ(os_path(u"C:\\docs"), "/home/user/docs");
  EXPECT_EQ(drive_root(u'c'), "/home/user/");
}

// A small tree under a fresh temporary folder, removed afterwards.
class PathTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quazel-path-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    fs::create_directories(root_ + "/Alpha/Beta");
    fs::create_directories(root_ + "/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0");  // Папка
    touch("/Alpha/Beta/File.TXT");
    touch("/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0/\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.txt");  // Папка/Файл.txt
    touch("/dup");
    touch("/DUP");
  }
  void TearDown() override { fs::remove_all(root_); }
  void touch(const std::string& rel) { std::ofstream(root_ + rel) << "x"; }
  std::string root_;
};

TEST_F(PathTree, ResolvesMissingComponentsWithoutRegardToCase) {
  struct Case { std::string in, out; };
  const Case cases[] = {
      {"/alpha/BETA/file.txt", "/Alpha/Beta/File.TXT"},
      {"/Alpha/Beta/File.TXT", "/Alpha/Beta/File.TXT"},     // exact: unchanged
      {"/ALPHA/beta/", "/Alpha/Beta/"},                     // trailing slash kept
      {"/alpha/new.txt", "/Alpha/new.txt"},                 // a file to create in a found folder
      {"/nothere/beta/file.txt", "/nothere/beta/file.txt"}, // after a missing folder: as given
      {"/alpha/beta/file.txt/more", "/Alpha/Beta/File.TXT/more"},
      {"/alpha//beta/./file.txt", "/Alpha/Beta/./File.TXT"},
      {"/\xD0\xBF\xD0\x90\xD0\x9F\xD0\x9A\xD0\x90/\xD1\x84\xD0\x90\xD0\x99\xD0\x9B.TXT",  // пАПКА/фАЙЛ.TXT
       "/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0/\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.txt"},
      {"/dup", "/dup"},                                     // exact beats a case-folded match
      {"/Dup", "/DUP"},                                     // several matches: first in byte order
  };
  for (const auto& c : cases) EXPECT_EQ(resolve_path(root_ + c.in), root_ + c.out) << c.in;
}

TEST_F(PathTree, ResolvesRelativePathsFromTheCurrentFolder) {
  std::string cwd = fs::current_path();
  ASSERT_EQ(chdir(root_.c_str()), 0);
  std::string got = resolve_path("alpha/beta/FILE.txt");
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  EXPECT_EQ(got, "Alpha/Beta/File.TXT");
}

TEST_F(PathTree, FindPathTakesScriptPaths) {
  EnvGuard env({"QUAZEL_DRIVE_Q"});
  EnvGuard::set("QUAZEL_DRIVE_Q", root_.c_str());
  EXPECT_EQ(find_path(u"Q:\\ALPHA\\beta\\file.txt"), root_ + "/Alpha/Beta/File.TXT");
  EXPECT_EQ(find_path(u"q:/alpha"), root_ + "/Alpha");
}

TEST_F(PathTree, ExistenceChecks) {
  struct Case { std::string rel; bool any, file, dir; };
  const Case cases[] = {
      {"/Alpha", true, false, true},
      {"/Alpha/", true, false, true},
      {"/Alpha/Beta/File.TXT", true, true, false},
      {"/Alpha/Beta/File.TXT/", false, false, false},
      {"/alpha", false, false, false},  // the checks themselves are exact
      {"/missing", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rel);
    EXPECT_EQ(path_exists(root_ + c.rel), c.any);
    EXPECT_EQ(file_exists(root_ + c.rel), c.file);
    EXPECT_EQ(dir_exists(root_ + c.rel), c.dir);
  }
}

TEST_F(PathTree, TempFolderFollowsTmpdirWhenUsable) {
  EnvGuard env({"TMPDIR"});
  EXPECT_EQ(temp_folder(), "/tmp/");
  EnvGuard::set("TMPDIR", root_.c_str());
  EXPECT_EQ(temp_folder(), root_ + "/");
  EnvGuard::set("TMPDIR", (root_ + "/missing").c_str());
  EXPECT_EQ(temp_folder(), "/tmp/");
  EnvGuard::set("TMPDIR", "relative");
  EXPECT_EQ(temp_folder(), "/tmp/");
}

TEST_F(PathTree, TempFilesAreNewPrivateAndUnpredictable) {
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    TempFile t = create_temp_file(root_, "qz-", ".tmp");
    ASSERT_GE(t.fd, 0);
    EXPECT_EQ(parent_folder(t.path), root_ + "/");
    std::string name = t.path.substr(root_.size() + 1);
    EXPECT_EQ(name.size(), 3u + 16u + 4u);
    EXPECT_EQ(name.substr(0, 3), "qz-");
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    struct stat st;
    ASSERT_EQ(fstat(t.fd, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_TRUE(names.insert(name).second);
    close(t.fd);
  }
  EXPECT_THROW(create_temp_file(root_, "a/b"), std::system_error);
  EXPECT_THROW(create_temp_file(root_ + "/missing"), std::system_error);
  EnvGuard env({"TMPDIR"});
  EnvGuard::set("TMPDIR", root_.c_str());
  TempFile t = create_temp_file();
  EXPECT_EQ(parent_folder(t.path), root_ + "/");
  close(t.fd);
}

TEST(Path, ExecutableFolderHoldsTheRunningProgram) {
  std::string exe = executable_path();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(file_exists(exe));
  std::string folder = executable_folder();
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(dir_exists(folder));
  EXPECT_EQ(exe.rfind(folder, 0), 0u);
}

TEST(Path, FolderHelpers) {
  EXPECT_EQ(with_trailing_slash(""), "");
  EXPECT_EQ(with_trailing_slash("/a"), "/a/");
  EXPECT_EQ(with_trailing_slash("/a/"), "/a/");
  EXPECT_EQ(parent_folder("/a/b.txt"), "/a/");
  EXPECT_EQ(parent_folder("/a/b/"), "/a/b/");
  EXPECT_EQ(parent_folder("b.txt"), "");
  EXPECT_EQ(script_path("/\xD0\x96"), u"/\u0416");
}

}  // namespace
}  // namespace qz
