// Shared by the PE tests: the generated fixtures, temporary copies and an outside check of an
// image with objdump.
#pragma once
#include <filesystem>
#include <string>

namespace qz::pe::test {

std::string fixture(const std::string& name);          // the bytes of a generated fixture
std::string read_bytes(const std::filesystem::path& p);
void write_bytes(const std::filesystem::path& p, const std::string& bytes);

// A fresh folder under the temporary folder, removed with the object.
struct TempDir {
  TempDir();
  ~TempDir();
  std::filesystem::path path;
};

// objdump -x on the image: "" when it reads it as a PE image with a resource section and
// reports no problem, else what it said. "skip" when objdump is not installed.
std::string objdump_problem(const std::string& image);

}  // namespace qz::pe::test
