// A fresh XDG_CONFIG_HOME for one test, removed afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/path.h"

namespace qz {

class TempConfigHome {
 public:
  TempConfigHome() {
    char pattern[] = "/tmp/qz-registry-test-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    had_old_ = old != nullptr;
    if (old) old_ = old;
    ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  }
  ~TempConfigHome() {
    if (had_old_) ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder_);
  }
  const std::string& folder() const { return folder_; }
  std::string registry() const { return folder_ + "/quazel/registry/"; }

 private:
  std::string folder_, old_;
  bool had_old_ = false;
};

}  // namespace qz
