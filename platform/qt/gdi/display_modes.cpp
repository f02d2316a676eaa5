#include "platform/qt/gdi/display_modes.h"

#include <dlfcn.h>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>

namespace qz {

namespace {

constexpr int32_t kChangeSuccessful = 0;
constexpr int32_t kChangeFailed = -1;
constexpr int32_t kChangeBadMode = -2;
constexpr int32_t kChangeTest = 2;

// The few Xlib and RandR 1.1 calls used, looked up once.
struct RandR {
  using Display = void;
  struct ScreenSize {
    int width, height, mwidth, mheight;
  };
  void* (*open)(const char*) = nullptr;
  int (*close)(void*) = nullptr;
  int (*default_screen)(void*) = nullptr;
  unsigned long (*root)(void*, int) = nullptr;
  int (*depth)(void*, int) = nullptr;
  void* (*get_info)(void*, unsigned long) = nullptr;
  void (*free_info)(void*) = nullptr;
  ScreenSize* (*sizes)(void*, int*) = nullptr;
  short* (*rates)(void*, int, int*) = nullptr;
  unsigned short (*current)(void*, unsigned short*) = nullptr;
  short (*current_rate)(void*) = nullptr;
  int (*set)(void*, void*, unsigned long, int, unsigned short, short, unsigned long) = nullptr;
  bool ok = false;

  RandR() {
    void* x11 = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    void* xrr = ::dlopen("libXrandr.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!x11 || !xrr) return;
    auto sym = [](void* lib, const char* name, auto& fn) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(lib, name));
      return fn != nullptr;
    };
    ok = sym(x11, "XOpenDisplay", open) && sym(x11, "XCloseDisplay", close) &&
         sym(x11, "XDefaultScreen", default_screen) && sym(x11, "XRootWindow", root) &&
         sym(x11, "XDefaultDepth", depth) && sym(xrr, "XRRGetScreenInfo", get_info) &&
         sym(xrr, "XRRFreeScreenConfigInfo", free_info) && sym(xrr, "XRRConfigSizes", sizes) &&
         sym(xrr, "XRRConfigRates", rates) && sym(xrr, "XRRConfigCurrentConfiguration", current) &&
         sym(xrr, "XRRConfigCurrentRate", current_rate) && sym(xrr, "XRRSetScreenConfigAndRate", set);
  }
};

RandR& randr() {
  static RandR* r = new RandR();
  return *r;
}

// An open display with its screen information; nothing when there is no X display.
struct XScreen {
  void* display = nullptr;
  void* info = nullptr;
  int screen = 0;
  unsigned long root = 0;
  XScreen() {
    RandR& r = randr();
    const char* name = std::getenv("DISPLAY");
    if (!r.ok || !name || !*name || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    display = r.open(nullptr);
    if (!display) return;
    screen = r.default_screen(display);
    root = r.root(display, screen);
    info = r.get_info(display, root);
  }
  ~XScreen() {
    if (info) randr().free_info(info);
    if (display) randr().close(display);
  }
  bool usable() const { return info != nullptr; }
};

}  // namespace

DisplayMode current_display_mode() {
  DisplayMode m;
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return m;
  QSize px = s->size() * s->devicePixelRatio();
  m.width = px.width();
  m.height = px.height();
  m.bits = s->depth();
  m.frequency = static_cast<int32_t>(std::lround(s->refreshRate()));
  return m;
}

std::vector<DisplayMode> list_display_modes() {
  XScreen x;
  if (!x.usable()) return {current_display_mode()};
  RandR& r = randr();
  std::vector<DisplayMode> out;
  int count = 0;
  RandR::ScreenSize* sizes = r.sizes(x.info, &count);
  int bits = r.depth(x.display, x.screen);
  for (int i = 0; sizes && i < count; ++i) {
    int nrates = 0;
    short* rates = r.rates(x.info, i, &nrates);
    if (nrates == 0) out.push_back(DisplayMode{sizes[i].width, sizes[i].height, bits, 0});
    for (int k = 0; k < nrates; ++k) out.push_back(DisplayMode{sizes[i].width, sizes[i].height, bits, rates[k]});
  }
  return out;
}

int32_t switch_display_mode(const DisplayMode& mode, int32_t flags) {
  XScreen x;
  if (!x.usable()) return kChangeFailed;
  RandR& r = randr();
  int count = 0;
  RandR::ScreenSize* sizes = r.sizes(x.info, &count);
  int bits = r.depth(x.display, x.screen);
  if (mode.bits != 0 && mode.bits != bits) return kChangeBadMode;  // depth is fixed on X
  for (int i = 0; sizes && i < count; ++i) {
    if (sizes[i].width != mode.width || sizes[i].height != mode.height) continue;
    int nrates = 0;
    short* rates = r.rates(x.info, i, &nrates);
    short rate = r.current_rate(x.info);
    if (mode.frequency != 0) {
      bool offered = false;
      for (int k = 0; k < nrates; ++k) offered = offered || rates[k] == mode.frequency;
      if (!offered) return kChangeBadMode;
      rate = static_cast<short>(mode.frequency);
    }
    if (flags & kChangeTest) return kChangeSuccessful;
    unsigned short rotation = 0;
    r.current(x.info, &rotation);
    return r.set(x.display, x.info, x.root, i, rotation, rate, 0) == 0 ? kChangeSuccessful : kChangeFailed;
  }
  return kChangeBadMode;
}

}  // namespace qz
