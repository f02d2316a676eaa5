#include "host/engine_loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "host/memory_library.h"
#include "platform/output.h"
#include "platform/path.h"

namespace qz {

namespace {

constexpr const char* kLibraryName = "libquazel.so";
// Lazy: a run binds only the functions it calls, not the few hundred the library imports
// (a large part of its load time). The library is linked with every symbol resolved and the
// versions its dependencies must have are checked when it is opened.
constexpr int kOpenFlags = RTLD_LAZY | RTLD_LOCAL;

std::string registered_path() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return {};
  }
  // A plain read: a file stream would set up its locale machinery on every start, mostly for a
  // file that is not there.
  int fd = ::open((base + "/quazel/progids/Tolvex.Quazel").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char buf[4096];
  ssize_t n = ::read(fd, buf, sizeof buf);
  ::close(fd);
  if (n <= 0) return {};
  std::string line(buf, static_cast<size_t>(n));
  line = line.substr(0, line.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// Never closed: the engine's code runs until the process ends.
std::optional<EngineLibrary> adopt(void* lib, const std::string& path, EventLoop& loop, std::string& error) {
  auto set_loop = reinterpret_cast<SetEventLoopFn>(::dlsym(lib, kSetEventLoopSymbol));
  auto create = reinterpret_cast<CreateObjectFn>(::dlsym(lib, kCreateObjectSymbol));
  if (!set_loop || !create) {
    error = path + ": not a Quazel engine library";
    return std::nullopt;
  }
  set_loop(&loop);
  // One set of standard-stream buffers for the whole process (an older library lacks it).
  if (auto share = reinterpret_cast<ShareStdioFn>(::dlsym(lib, kShareStdioSymbol))) share(stdio_state());
  auto version = reinterpret_cast<EngineVersionFn>(::dlsym(lib, kEngineVersionSymbol));
  return EngineLibrary{path, create, version};
}

}  // namespace

std::vector<EngineCandidate> engine_library_candidates() {
  std::vector<EngineCandidate> out;
  if (const char* env = std::getenv("QUAZEL_ENGINE"); env && *env) out.push_back({EngineSource::Variable, env});
  std::string folder = executable_folder();
  if (!folder.empty()) out.push_back({EngineSource::Beside, folder + kLibraryName});
  if (std::string reg = registered_path(); !reg.empty()) out.push_back({EngineSource::Registered, reg});
  if (!folder.empty()) out.push_back({EngineSource::Prefix, folder + "../lib/" + kLibraryName});
  out.push_back({EngineSource::Installed, kLibraryName});
  return out;
}

std::optional<EngineLibrary> open_engine_library(const std::string& path, EventLoop& loop, std::string& error) {
  void* lib = ::dlopen(path.c_str(), kOpenFlags);
  if (!lib) {
    const char* why = ::dlerror();
    error = why ? why : path + ": cannot be loaded";
    return std::nullopt;
  }
  return adopt(lib, path, loop, error);
}

std::optional<EngineLibrary> open_engine_from_memory(std::string_view bytes, EventLoop& loop, std::string& error) {
  MemoryLibrary lib = open_library_from_memory(bytes, kOpenFlags, error);
  if (!lib.handle) return std::nullopt;
  return adopt(lib.handle, lib.path, loop, error);
}

Ref<Object> create_engine(const EngineLibrary& library, std::string& error) {
  Object* obj = library.create(u"Tolvex.Quazel");
  if (!obj) {
    error = library.path + ": Tolvex.Quazel cannot be created";
    return nullptr;
  }
  Ref<Object> engine(obj);
  obj->Release();  // the library handed over its own reference; Ref took another
  return engine;
}

}  // namespace qz
