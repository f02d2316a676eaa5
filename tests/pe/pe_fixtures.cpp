#include "pe_fixtures.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace qz::pe::test {

std::string read_bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

std::string fixture(const std::string& name) { return read_bytes(std::string(PE_FIXTURES) + name); }

TempDir::TempDir() {
  std::random_device rd;
  path = std::filesystem::temp_directory_path() / ("qz_pe_" + std::to_string(rd()));
  std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

std::string objdump_problem(const std::string& image) {
  if (std::system("objdump --version >/dev/null 2>&1") != 0) return "skip";
  TempDir dir;
  auto file = dir.path / "image.exe";
  write_bytes(file, image);
  std::string cmd = "objdump -x '" + file.string() + "' 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "cannot run objdump";
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (rc != 0) return "objdump failed: " + out.substr(0, 400);
  if (out.find("file format pei-") == std::string::npos) return "not read as PE: " + out.substr(0, 400);
  for (const char* bad : {"corrupt", "Corrupt", "warning", "Warning", "error", "Error"})
    if (out.find(bad) != std::string::npos) return std::string("objdump says ") + bad + ": " + out.substr(0, 2000);
  if (out.find("Resource Directory section") == std::string::npos) return "no resource section dumped";
  return "";
}

}  // namespace qz::pe::test
