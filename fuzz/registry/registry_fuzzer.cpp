// Store file bytes from anywhere: the parser must refuse them or load a tree that writes out
// and parses back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "services/registry/registry_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qz;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RegHive hive;
  std::string error;
  if (!parse_reg_hive(bytes, hive, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  std::string text = format_reg_hive(hive);
  RegHive again;
  if (!parse_reg_hive(text, again, error)) std::abort();
  if (format_reg_hive(again) != text) std::abort();
  return 0;
}
