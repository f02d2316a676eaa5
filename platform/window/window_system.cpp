#include "platform/window/window_system.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "com/error.h"
#include "platform/event_loop.h"

namespace qz {

namespace {

WindowSystem* g_window_system = nullptr;

// The toolkit library sits beside the library (or program) that holds this code; a path in
// QUAZEL_GUI_MODULE comes first, the ordinary library search last.
void* open_gui_library() {
  if (const char* forced = std::getenv("QUAZEL_GUI_MODULE"); forced && *forced) {
    if (void* h = ::dlopen(forced, RTLD_NOW | RTLD_LOCAL)) return h;
  }
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&open_gui_library), &info) && info.dli_fname) {
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    if (void* h = ::dlopen((folder + "/libquazel_gui.so").c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
  }
  return ::dlopen("libquazel_gui.so", RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

WindowSystem& window_system() {
  if (g_window_system) return *g_window_system;
  void* lib = open_gui_library();
  auto entry = lib ? reinterpret_cast<GuiEntryFunction>(::dlsym(lib, kGuiEntryName)) : nullptr;
  WindowSystem* ws = entry ? entry(&event_loop()) : nullptr;
  if (!ws) {
    // Said once on the error stream: the script only sees the error number.
    static bool said = false;
    if (!said) {
      said = true;
      const char* why = lib ? "the toolkit could not start" : ::dlerror();
      std::fprintf(stderr, "quazel: no window system (%s)\n", why ? why : "libquazel_gui.so not found");
    }
    raise(429);
  }
  g_window_system = ws;  // kept for the life of the process, like the library
  return *ws;
}

bool window_system_loaded() { return g_window_system != nullptr; }

void set_window_system(WindowSystem* ws) { g_window_system = ws; }

}  // namespace qz
