// Runs a test with the ANSI page of a given language: 1049 gives Windows-1251, 1033 gives 1252.
#pragma once
#include <cstdlib>
#include <string>

namespace qz {

class LanguageScope {
 public:
  explicit LanguageScope(const char* langid) {
    const char* old = std::getenv("QUAZEL_LANGID");
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv("QUAZEL_LANGID", langid, 1);
  }
  ~LanguageScope() {
    if (had_) ::setenv("QUAZEL_LANGID", old_.c_str(), 1);
    else ::unsetenv("QUAZEL_LANGID");
  }

 private:
  bool had_;
  std::string old_;
};

}  // namespace qz
