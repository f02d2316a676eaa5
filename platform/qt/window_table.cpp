#include "platform/qt/window_table.h"

#include <unordered_map>

namespace qz {

namespace {
struct Table {
  std::unordered_map<WindowHandle, QtControl*> windows;
  WindowHandle next = 0x10010;  // handles look like the platform's: even, never small
};
Table& table() {
  static auto* t = new Table();
  return *t;
}
}  // namespace

WindowHandle register_window(QtControl* control) {
  Table& t = table();
  WindowHandle h = t.next;
  t.next += 4;
  if (t.next <= 0) t.next = 0x10010;
  t.windows[h] = control;
  return h;
}

void unregister_window(WindowHandle h) { table().windows.erase(h); }

QtControl* find_window(WindowHandle h) {
  auto& w = table().windows;
  auto it = w.find(h);
  return it == w.end() ? nullptr : it->second;
}

}  // namespace qz
