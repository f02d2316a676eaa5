#include "services/registry/registry_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "registry_test_folder.h"

namespace qz {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RegistryStore, FolderFollowsXdgConfigHome) {
  TempConfigHome home;
  EXPECT_EQ(registry_folder(), home.registry());
  std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(registry_folder(), "/home/someone/.config/quazel/registry/");
  ::setenv("HOME", old_home.c_str(), 1);
}

TEST(RegistryStore, ChangesPersistInOneFilePerRootAndLeaveNoTemporaryFiles) {
  TempConfigHome home;
  RegistryStore store;
  EXPECT_TRUE(store.load(RegRoot::CurrentUser).find(u"Software") == nullptr);
  EXPECT_FALSE(std::filesystem::exists(home.registry()));  // reading creates nothing

  store.update(RegRoot::CurrentUser, [](RegHive& h) {
    RegValue v;
    v.name = u"Name";
    v.text = u"value";
    h.ensure(u"Software\\App").put(v);
    return true;
  });
  store.update(RegRoot::LocalMachine, [](RegHive& h) {
    h.ensure(u"Machine");
    return true;
  });
  RegHive user = RegistryStore().load(RegRoot::CurrentUser);
  ASSERT_NE(user.find(u"software\\app"), nullptr);
  EXPECT_EQ(user.find(u"software\\app")->find(u"name")->text, u"value");
  EXPECT_EQ(RegistryStore().load(RegRoot::CurrentUser).find(u"Machine"), nullptr);
  EXPECT_NE(RegistryStore().load(RegRoot::LocalMachine).find(u"Machine"), nullptr);

  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(home.registry())) names.insert(e.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{".lock", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}));

  // A change that reports nothing changed writes nothing.
  auto before = std::filesystem::last_write_time(store.file_of(RegRoot::CurrentUser));
  std::string bytes = slurp(store.file_of(RegRoot::CurrentUser));
  store.update(RegRoot::CurrentUser, [](RegHive& h) {
    h.ensure(u"Ignored");
    return false;
  });
  EXPECT_EQ(slurp(store.file_of(RegRoot::CurrentUser)), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(store.file_of(RegRoot::CurrentUser)), before);
}

TEST(RegistryStore, ADamagedFileIsReportedAndNeverOverwritten) {
  TempConfigHome home;
  std::filesystem::create_directories(home.registry());
  const std::string damaged = "quazel-registry 1\nkey\tA\nvalue\tx\tdword\tnot a number\n";
  std::ofstream(home.registry() + "HKEY_CURRENT_USER", std::ios::binary) << damaged;
  RegistryStore store;
  try {
    store.load(RegRoot::CurrentUser);
    FAIL() << "no error";
  } catch (const RegistryStoreError& e) {
    EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
  }
  EXPECT_THROW(store.update(RegRoot::CurrentUser, [](RegHive&) { return true; }), RegistryStoreError);
  EXPECT_EQ(slurp(home.registry() + "HKEY_CURRENT_USER"), damaged);
}

TEST(RegistryStore, AFolderThatCannotBeMadeIsAnError) {
  TempConfigHome home;
  std::ofstream(home.folder() + "/quazel") << "a file where the folder should be";
  EXPECT_THROW(RegistryStore().update(RegRoot::CurrentUser, [](RegHive&) { return true; }), RegistryStoreError);
}

// Several processes add values at once; the lock keeps every one of them.
TEST(RegistryStore, ConcurrentProcessesLoseNoChange) {
  TempConfigHome home;
  constexpr int kProcesses = 6, kValues = 40;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      try {
        for (int i = 0; i < kValues; ++i) {
          RegistryStore().update(RegRoot::CurrentUser, [&](RegHive& h) {
            RegValue v;
            v.name = u"p" + std::u16string(1, u'0' + p) + u"_" + std::u16string(1, u'A' + (i % 26)) +
                     std::u16string(1, u'a' + i / 26);
            v.type = RegType::Dword;
            v.number = static_cast<uint32_t>(p * 1000 + i);
            h.ensure(u"Shared").put(v);
            return true;
          });
        }
      } catch (...) {
        status = 1;
      }
      ::_exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  RegHive hive = RegistryStore().load(RegRoot::CurrentUser);
  ASSERT_NE(hive.find(u"Shared"), nullptr);
  EXPECT_EQ(hive.find(u"Shared")->values.size(), static_cast<size_t>(kProcesses * kValues));
}

}  // namespace
}  // namespace qz
