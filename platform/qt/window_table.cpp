#include "platform/qt/window_table.h"

#include <map>

namespace qz {

namespace {
struct Table {
  // Ordered by handle: handles are given out rising, so this is the order of creation (until
  // the numbers wrap, after two billion windows).
  std::map<WindowHandle, QtControl*> windows;
  WindowHandle next = 0x10010;  // handles look like the platform's: even, never small
  std::function<void(QtControl&)> listed_hook;
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
  if (t.listed_hook && control) t.listed_hook(*control);
  return h;
}

void unregister_window(WindowHandle h) { table().windows.erase(h); }

QtControl* find_window(WindowHandle h) {
  auto& w = table().windows;
  auto it = w.find(h);
  return it == w.end() ? nullptr : it->second;
}

std::vector<QtControl*> listed_windows() {
  std::vector<QtControl*> all;
  all.reserve(table().windows.size());
  for (auto& [h, c] : table().windows) all.push_back(c);
  return all;
}

void set_window_listed_hook(std::function<void(QtControl&)> hook) { table().listed_hook = std::move(hook); }

}  // namespace qz
