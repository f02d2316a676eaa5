#include "platform/qt/web_view.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qz {

namespace {

WebViewFactory& factory() {
  static auto* f = new WebViewFactory();
  return *f;
}

// The module sits in the folder of the window system's library (or program); a path in
// QUAZEL_WEB_MODULE comes first.
WebModuleEntry load_module() {
  static WebModuleEntry entry = [] {
    void* lib = nullptr;
    if (const char* forced = std::getenv("QUAZEL_WEB_MODULE"); forced && *forced)
      lib = ::dlopen(forced, RTLD_NOW | RTLD_LOCAL);
    Dl_info info{};
    if (!lib && ::dladdr(reinterpret_cast<void*>(&make_web_view), &info) && info.dli_fname) {
      std::string path = info.dli_fname;
      size_t slash = path.rfind('/');
      std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
      lib = ::dlopen((folder + "/libquazel_web.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!lib) {
      std::fprintf(stderr, "quazel: no web browser (%s)\n", ::dlerror());
      return WebModuleEntry(nullptr);
    }
    return reinterpret_cast<WebModuleEntry>(::dlsym(lib, kWebModuleEntry));
  }();
  return entry;
}

}  // namespace

std::unique_ptr<WebView> make_web_view(QWidget* parent) {
  if (factory()) return factory()(parent);
  WebModuleEntry entry = load_module();
  return std::unique_ptr<WebView>(entry ? entry(parent) : nullptr);
}

void set_web_view_factory(WebViewFactory f) { factory() = std::move(f); }

}  // namespace qz
