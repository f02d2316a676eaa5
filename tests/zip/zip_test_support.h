// A scratch folder per test and small file helpers for the ZIP tests.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "formats/zip/zip_archive.h"

namespace qz::ziptest {

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qz-zip-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  std::u16string upath(const std::string& name) const {
    std::string p = path(name);
    return std::u16string(p.begin(), p.end());
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::string p = path(name);
    std::system(("mkdir -p \"$(dirname " + p + ")\"").c_str());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream f(path(name), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  bool exists(const std::string& name) const { return access(path(name).c_str(), F_OK) == 0; }
  // Runs a shell command in the folder; its exit status.
  int sh(const std::string& cmd) const { return std::system(("cd " + dir_ + " && " + cmd).c_str()); }
  static bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

  std::string dir_;
};

inline std::string all_byte_values() {
  std::string s;
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

}  // namespace qz::ziptest
