#include "engine/translator/module_dump.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "com/str.h"

namespace qz::tr {

const char* role_word(ModuleRole role) {
  switch (role) {
    case ModuleRole::Main: return "main";
    case ModuleRole::Module: return "module";
    case ModuleRole::Lib: return "lib";
    case ModuleRole::Form: return "form";
    case ModuleRole::Global: return "global";
  }
  return "module";
}

std::string dump_file_name(size_t index, const LoadStep& step) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%02zu_", index + 1);
  std::string name;
  for (char c : u16_to_utf8(step.name)) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    name.push_back(keep ? c : '_');
  }
  return prefix + std::string(role_word(step.role)) + "_" + name + ".vbs";
}

bool dump_modules(const TranslationResult& result, const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  bool ok = true;
  for (size_t i = 0; i < result.steps.size(); ++i) {
    const LoadStep& step = result.steps[i];
    if (step.kind == LoadKind::ModuleObject) continue;
    std::ofstream out(std::filesystem::path(folder) / dump_file_name(i, step), std::ios::binary | std::ios::trunc);
    out << u16_to_utf8(step.code);
    ok = ok && static_cast<bool>(out);
  }
  return ok;
}

}  // namespace qz::tr
