#include "platform/window/window_system.h"

#include <algorithm>

namespace qz {

WindowSystem::~WindowSystem() {
  while (!top_level_.empty()) destroy(top_level_.back());
}

WindowSystem::Window* WindowSystem::find(WindowHandle h) {
  auto it = windows_.find(h);
  return it == windows_.end() ? nullptr : &it->second;
}

const WindowSystem::Window* WindowSystem::find(WindowHandle h) const {
  auto it = windows_.find(h);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowHandle WindowSystem::create(WindowHandle parent, std::u16string_view class_name) {
  Window* p = nullptr;
  if (parent != 0 && !(p = find(parent))) return 0;
  WindowHandle h = next_++;
  Window& w = windows_[h];
  w.parent = parent;
  w.class_name = std::u16string(class_name);
  if (p) p->children.push_back(h);  // windows_ is a map: p stays valid across the insert
  else top_level_.push_back(h);
  return h;
}

bool WindowSystem::destroy(WindowHandle h) {
  Window* w = find(h);
  if (!w) return false;
  std::vector<WindowHandle> kids = w->children;
  for (WindowHandle k : kids) destroy(k);
  w = find(h);
  if (!w) return false;
  for (auto& [id, timer] : w->timers) loop().kill_timer(timer);
  if (w->holds_loop) loop().release();
  if (focus_ == h) focus_ = 0;
  std::vector<WindowHandle>& siblings = w->parent ? find(w->parent)->children : top_level_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
  windows_.erase(h);
  return true;
}

WindowHandle WindowSystem::parent(WindowHandle h) const {
  const Window* w = find(h);
  return w ? w->parent : 0;
}

std::u16string WindowSystem::class_name(WindowHandle h) const {
  const Window* w = find(h);
  return w ? w->class_name : std::u16string();
}

std::vector<WindowHandle> WindowSystem::children(WindowHandle h) const {
  if (h == 0) return top_level_;
  const Window* w = find(h);
  return w ? w->children : std::vector<WindowHandle>();
}

void WindowSystem::bring_to_top(WindowHandle h) {
  Window* w = find(h);
  if (!w) return;
  std::vector<WindowHandle>& siblings = w->parent ? find(w->parent)->children : top_level_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
  siblings.push_back(h);
}

void WindowSystem::send_to_back(WindowHandle h) {
  Window* w = find(h);
  if (!w) return;
  std::vector<WindowHandle>& siblings = w->parent ? find(w->parent)->children : top_level_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
  siblings.insert(siblings.begin(), h);
}

WindowRect WindowSystem::rect(WindowHandle h) const {
  const Window* w = find(h);
  return w ? w->rect : WindowRect();
}

void WindowSystem::move(WindowHandle h, const WindowRect& r) {
  Window* w = find(h);
  if (!w) return;
  WindowRect n = r;
  n.width = std::max(n.width, 0);
  n.height = std::max(n.height, 0);
  bool resized = n.width != w->rect.width || n.height != w->rect.height;
  w->rect = n;
  if (resized) {
    WindowEvent e{WindowEventKind::Resize};
    send(h, e);
  }
}

bool WindowSystem::visible(WindowHandle h) const {
  const Window* w = find(h);
  return w && w->visible;
}

bool WindowSystem::showing(WindowHandle h) const {
  for (const Window* w = find(h); w; w = w->parent ? find(w->parent) : nullptr)
    if (!w->visible) return false;
  return exists(h);
}

void WindowSystem::update_hold(WindowHandle, Window& w) {
  bool want = w.parent == 0 && w.visible;
  if (want == w.holds_loop) return;
  w.holds_loop = want;
  if (want) loop().hold();
  else loop().release();
}

void WindowSystem::drop_focus_inside(WindowHandle h) {
  for (WindowHandle f = focus_; f; f = parent(f)) {
    if (f == h) {
      set_focus(0);
      return;
    }
  }
}

void WindowSystem::show(WindowHandle h, bool on) {
  Window* w = find(h);
  if (!w || w->visible == on) return;
  w->visible = on;
  update_hold(h, *w);
  if (!on) drop_focus_inside(h);
  WindowEvent e{on ? WindowEventKind::Shown : WindowEventKind::Hidden};
  send(h, e);
  if (on) invalidate(h);
}

void WindowSystem::invalidate(WindowHandle h) {
  if (!showing(h)) return;
  WindowEvent e{WindowEventKind::Paint};
  send(h, e);
  for (WindowHandle k : children(h)) invalidate(k);
}

bool WindowSystem::enabled(WindowHandle h) const {
  const Window* w = find(h);
  return w && w->enabled;
}

void WindowSystem::enable(WindowHandle h, bool on) {
  Window* w = find(h);
  if (!w) return;
  w->enabled = on;
  if (!on) drop_focus_inside(h);
}

bool WindowSystem::accepts_input(WindowHandle h) const {
  if (!exists(h)) return false;
  for (const Window* w = find(h); w; w = w->parent ? find(w->parent) : nullptr)
    if (!w->visible || !w->enabled) return false;
  return true;
}

bool WindowSystem::set_focus(WindowHandle h) {
  if (h != 0 && !accepts_input(h)) return false;
  if (h == focus_) return true;
  WindowHandle old = focus_;
  focus_ = h;
  if (old) {
    WindowEvent e{WindowEventKind::LostFocus};
    send(old, e);
  }
  if (h && focus_ == h) {
    WindowEvent e{WindowEventKind::GotFocus};
    send(h, e);
  }
  return true;
}

Variant WindowSystem::property(WindowHandle h, std::u16string_view name) const {
  const Window* w = find(h);
  if (!w) return Variant();
  auto it = w->props.find(lower(name));
  return it == w->props.end() ? Variant() : it->second;
}

void WindowSystem::set_property(WindowHandle h, std::u16string_view name, const Variant& value) {
  if (Window* w = find(h)) w->props[lower(name)] = value;
}

bool WindowSystem::has_property(WindowHandle h, std::u16string_view name) const {
  const Window* w = find(h);
  return w && w->props.count(lower(name));
}

void WindowSystem::remove_property(WindowHandle h, std::u16string_view name) {
  if (Window* w = find(h)) w->props.erase(lower(name));
}

void WindowSystem::set_listener(WindowHandle h, Listener listener) {
  if (Window* w = find(h)) w->listener = listener ? std::make_shared<Listener>(std::move(listener)) : nullptr;
}

bool WindowSystem::set_timer(WindowHandle h, uint32_t id, uint32_t interval_ms) {
  Window* w = find(h);
  if (!w) return false;
  auto it = w->timers.find(id);
  if (it != w->timers.end()) loop().kill_timer(it->second);
  w->timers[id] = loop().set_timer(interval_ms, [this, h, id] {
    WindowEvent e{WindowEventKind::Timer};
    e.code = static_cast<int32_t>(id);
    send(h, e);
  });
  return true;
}

bool WindowSystem::kill_timer(WindowHandle h, uint32_t id) {
  Window* w = find(h);
  if (!w) return false;
  auto it = w->timers.find(id);
  if (it == w->timers.end()) return false;
  loop().kill_timer(it->second);
  w->timers.erase(it);
  return true;
}

bool WindowSystem::has_timer(WindowHandle h, uint32_t id) const {
  const Window* w = find(h);
  return w && w->timers.count(id);
}

void WindowSystem::send(WindowHandle h, WindowEvent& e) {
  Window* w = find(h);
  if (!w || !w->listener) return;
  // The listener may destroy the window (and itself with it) while it runs.
  std::shared_ptr<Listener> keep = w->listener;
  (*keep)(e);
}

bool WindowSystem::click(WindowHandle h, float x, float y) {
  if (!accepts_input(h)) return false;
  set_focus(h);
  WindowEvent down{WindowEventKind::MouseDown};
  down.button = 1;
  down.x = x;
  down.y = y;
  send(h, down);
  WindowEvent up = down;
  up.kind = WindowEventKind::MouseUp;
  send(h, up);
  WindowEvent c{WindowEventKind::Click};
  send(h, c);
  return true;
}

bool WindowSystem::double_click(WindowHandle h) {
  if (!click(h)) return false;
  WindowEvent e{WindowEventKind::DblClick};
  send(h, e);
  return true;
}

bool WindowSystem::key(WindowHandle h, int32_t key_code, int32_t& character, int32_t shift) {
  if (!accepts_input(h)) return false;
  WindowEvent down{WindowEventKind::KeyDown};
  down.code = key_code;
  down.shift = shift;
  send(h, down);
  if (down.code != 0 && character != 0) {
    WindowEvent press{WindowEventKind::KeyPress};
    press.code = character;
    press.shift = shift;
    send(h, press);
    character = press.code;
  } else {
    character = 0;
  }
  WindowEvent up{WindowEventKind::KeyUp};
  up.code = key_code;
  up.shift = shift;
  send(h, up);
  return true;
}

bool WindowSystem::type_text(WindowHandle h, std::u16string_view text, std::u16string* accepted) {
  if (!accepts_input(h)) return false;
  for (char16_t c : text) {
    WindowEvent press{WindowEventKind::KeyPress};
    press.code = c;
    send(h, press);
    if (accepted && press.code != 0) accepted->push_back(static_cast<char16_t>(press.code));
  }
  return true;
}

bool WindowSystem::close(WindowHandle h) {
  if (!exists(h)) return false;
  WindowEvent e{WindowEventKind::Close};
  send(h, e);
  return e.cancel == 0;
}

WindowSystem& window_system() {
  static WindowSystem* system = new WindowSystem();  // lives as long as the process
  return *system;
}

}  // namespace qz
