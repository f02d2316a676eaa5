#include "forms/message_subscriptions.h"

#include <algorithm>
#include <vector>

#include "forms/script_form.h"
#include "platform/window/window_messages.h"

namespace qz {

namespace {

struct Subscription {
  ScriptForm* form;  // not held: the form withdraws its entries before it goes
  WindowHandle window;
  int32_t message;
};

std::vector<Subscription>& entries() {
  static auto* list = new std::vector<Subscription>();
  return *list;
}

bool watched(WindowHandle window) {
  for (const Subscription& s : entries())
    if (s.window == window) return true;
  return false;
}

// Tells the toolkit to stop making messages for windows that lost their last entry.
void unwatch_if_unused(WindowHandle window) {
  if (!watched(window) && window_system_loaded()) window_system().watch_messages(window, false);
}

void deliver(const WindowMessage& m) {
  // A procedure may subscribe, unsubscribe or unload forms: the receivers are taken first and
  // each is checked again before its turn.
  std::vector<Ref<ScriptForm>> receivers;
  for (const Subscription& s : entries())
    if (s.window == m.window && s.message == m.message) receivers.emplace_back(s.form);
  for (Ref<ScriptForm>& form : receivers) {
    bool still = std::any_of(entries().begin(), entries().end(), [&](const Subscription& s) {
      return s.form == form.get() && s.window == m.window && s.message == m.message;
    });
    if (still) form->window_proc(m.window, m.message, m.wparam, m.lparam);
  }
  if (m.message == wm::kDestroy) {
    auto& list = entries();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const Subscription& s) { return s.window == m.window; }),
               list.end());
  }
}

}  // namespace

void subscribe_message(ScriptForm* form, WindowHandle window, int32_t message) {
  if (!form || window == 0) return;
  WindowSystem& ws = window_system();
  if (!ws.find(window)) return;  // a number that names no window subscribes nothing
  static bool hooked = false;
  if (!hooked) {
    ws.set_message_hook(deliver);
    hooked = true;
  }
  for (const Subscription& s : entries())
    if (s.form == form && s.window == window && s.message == message) return;
  entries().push_back({form, window, message});
  ws.watch_messages(window, true);
}

void unsubscribe_message(ScriptForm* form, WindowHandle window, int32_t message) {
  auto& list = entries();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const Subscription& s) {
                              return s.form == form && s.window == window && s.message == message;
                            }),
             list.end());
  unwatch_if_unused(window);
}

void withdraw_subscriptions(ScriptForm* form) {
  auto& list = entries();
  std::vector<WindowHandle> windows;
  for (const Subscription& s : list)
    if (s.form == form) windows.push_back(s.window);
  list.erase(std::remove_if(list.begin(), list.end(), [&](const Subscription& s) { return s.form == form; }),
             list.end());
  for (WindowHandle w : windows) unwatch_if_unused(w);
}

void clear_subscriptions() {
  std::vector<WindowHandle> windows;
  for (const Subscription& s : entries()) windows.push_back(s.window);
  entries().clear();
  for (WindowHandle w : windows) unwatch_if_unused(w);
}

size_t subscription_count() { return entries().size(); }

}  // namespace qz
