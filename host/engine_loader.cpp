#include "host/engine_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>

#include "engine/library_entry.h"
#include "platform/output.h"
#include "platform/path.h"

namespace qz {

namespace {

constexpr const char* kLibraryName = "libquazel.so";

std::string registered_path() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return {};
  }
  std::ifstream in(base + "/quazel/progids/Tolvex.Quazel");
  std::string line;
  if (!std::getline(in, line)) return {};
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

}  // namespace

std::vector<std::string> engine_library_candidates() {
  std::vector<std::string> out;
  if (const char* env = std::getenv("QUAZEL_ENGINE"); env && *env) out.push_back(env);
  if (std::string folder = executable_folder(); !folder.empty()) out.push_back(folder + kLibraryName);
  if (std::string reg = registered_path(); !reg.empty()) out.push_back(reg);
  return out;
}

LoadedEngine load_engine(EventLoop& loop) {
  LoadedEngine result;
  std::vector<std::string> candidates = engine_library_candidates();
  if (candidates.empty()) {
    result.error = "no place to look for libquazel.so";
    return result;
  }
  for (const std::string& path : candidates) {
    if (!file_exists(path)) {
      if (result.error.empty()) result.error = path + ": no such file";
      continue;
    }
    // Never closed: the engine's code runs until the process ends.
    void* lib = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      const char* why = ::dlerror();
      result.error = why ? why : path + ": cannot be loaded";
      continue;
    }
    auto set_loop = reinterpret_cast<SetEventLoopFn>(::dlsym(lib, kSetEventLoopSymbol));
    auto create = reinterpret_cast<CreateObjectFn>(::dlsym(lib, kCreateObjectSymbol));
    if (!set_loop || !create) {
      result.error = path + ": not a Quazel engine library";
      continue;
    }
    set_loop(&loop);
    // One set of standard-stream buffers for the whole process (an older library lacks it).
    if (auto share = reinterpret_cast<ShareStdioFn>(::dlsym(lib, kShareStdioSymbol))) share(stdio_state());
    Object* obj = create(u"Tolvex.Quazel");
    if (!obj) {
      result.error = path + ": Tolvex.Quazel cannot be created";
      continue;
    }
    result.engine = Ref<Object>(obj);
    obj->Release();  // the library handed over its own reference; Ref took another
    result.path = path;
    result.error.clear();
    return result;
  }
  return result;
}

}  // namespace qz
