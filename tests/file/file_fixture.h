// A fresh temporary folder per test, removed afterwards, with helpers to make and read files.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/object.h"
#include "com/variant.h"

namespace qz {

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // OS path below the folder; script_path() of it as script text.
  std::string os(const std::string& rel) const { return root_ + rel; }
  std::u16string sp(const std::string& rel) const;
  void write(const std::string& rel, const std::string& bytes) const;
  std::string read(const std::string& rel) const;
  bool exists(const std::string& rel) const;
  void mkdir(const std::string& rel) const;
  std::string root_;  // ends with "/"
};

// Calls a member by name with these arguments.
Variant call(Object& obj, std::u16string_view name, std::vector<Variant> args = {});

}  // namespace qz
