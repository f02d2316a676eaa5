// A headless window system: the state and behaviour that script forms and their controls rely
// on (parentage, geometry in twips, visibility, enabled state, focus, z-order, a property bag
// per window, window timers on the event loop), with input injection so tests can click, type
// and move the focus. Events go straight to the window's listener, inside the call that caused
// them: nothing is queued, as with the platform's own message dispatch.
//
// A visible top-level window keeps the event loop alive: the run of a script that shows a form
// ends only after the form has gone.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/variant.h"
#include "platform/event_loop.h"

namespace qz {

// Screen geometry: 15 twips per pixel in both directions.
constexpr int32_t kTwipsPerPixel = 15;

using WindowHandle = int32_t;  // 0 is no window

enum class WindowEventKind {
  Click, DblClick, MouseDown, MouseUp, MouseMove, KeyDown, KeyPress, KeyUp,
  GotFocus, LostFocus, Timer, Close, Resize, Shown, Hidden, Paint,
};

struct WindowEvent {
  WindowEventKind kind;
  int32_t code = 0;         // KeyDown/KeyUp: key code; KeyPress: character code; Timer: timer id
  int32_t shift = 0;        // Shift, Ctrl, Alt bits
  int32_t button = 0;       // mouse button bits
  float x = 0, y = 0;       // pointer position in twips, relative to the window
  int32_t cancel = 0;       // Close: a listener that sets it keeps the window
};

struct WindowRect {
  int32_t left = 0, top = 0, width = 0, height = 0;  // twips
};

class WindowSystem {
 public:
  using Listener = std::function<void(WindowEvent&)>;

  // Without a loop the process's loop (event_loop()) is used, as it stands at each call.
  explicit WindowSystem(EventLoop* loop = nullptr) : loop_(loop) {}
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // A new hidden, enabled window on top of its siblings; parent 0 makes a top-level window.
  // Returns 0 when the parent does not exist.
  WindowHandle create(WindowHandle parent, std::u16string_view class_name);
  // Destroys the window and its children (children first); their timers stop. Sends nothing.
  bool destroy(WindowHandle h);
  bool exists(WindowHandle h) const { return windows_.count(h) != 0; }
  size_t count() const { return windows_.size(); }

  WindowHandle parent(WindowHandle h) const;
  std::u16string class_name(WindowHandle h) const;
  // Children in z-order, bottom first.
  std::vector<WindowHandle> children(WindowHandle h) const;
  void bring_to_top(WindowHandle h);
  void send_to_back(WindowHandle h);

  WindowRect rect(WindowHandle h) const;
  // Moves and sizes; a change of size sends Resize. Negative sizes are taken as 0.
  void move(WindowHandle h, const WindowRect& r);

  bool visible(WindowHandle h) const;  // the window's own flag
  // True when the window and every ancestor are visible.
  bool showing(WindowHandle h) const;
  // Sends Shown or Hidden when the flag changes, then Paint to the window and each descendant
  // that became visible on screen. Hiding the focused window (or an ancestor of it) takes the
  // focus away.
  void show(WindowHandle h, bool on);
  // Sends Paint to the window and its descendants that are visible on screen (a refresh).
  void invalidate(WindowHandle h);
  bool enabled(WindowHandle h) const;
  void enable(WindowHandle h, bool on);

  WindowHandle focus() const { return focus_; }
  // Moves the focus; the old window gets LostFocus, the new one GotFocus. Refused (false) for a
  // window that is missing, hidden or disabled (itself or an ancestor). 0 clears the focus.
  bool set_focus(WindowHandle h);

  // The per-window property bag; a missing name reads as Empty.
  Variant property(WindowHandle h, std::u16string_view name) const;
  void set_property(WindowHandle h, std::u16string_view name, const Variant& value);
  bool has_property(WindowHandle h, std::u16string_view name) const;
  void remove_property(WindowHandle h, std::u16string_view name);

  void set_listener(WindowHandle h, Listener listener);

  // Window timers: `id` names the timer within the window; setting it again restarts it with
  // the new interval. Each tick sends Timer with the id. False for a missing window.
  bool set_timer(WindowHandle h, uint32_t id, uint32_t interval_ms);
  bool kill_timer(WindowHandle h, uint32_t id);
  bool has_timer(WindowHandle h, uint32_t id) const;

  // Sends one event to the window's listener as it is (for events that no input causes).
  void send(WindowHandle h, WindowEvent& e);

  // Input injection. Each refuses (false) a window that cannot take input: missing, hidden or
  // disabled, itself or an ancestor.
  // A left click: focus to the window, MouseDown, MouseUp, Click.
  bool click(WindowHandle h, float x = 0, float y = 0);
  bool double_click(WindowHandle h);
  // One key: KeyDown; KeyPress when `character` is not 0 and KeyDown left the key code; KeyUp.
  // Returns the character as the listeners left it in `character` (0: swallowed).
  bool key(WindowHandle h, int32_t key_code, int32_t& character, int32_t shift = 0);
  // KeyPress for each character of `text` in turn; the characters the listener did not
  // swallow are returned.
  bool type_text(WindowHandle h, std::u16string_view text, std::u16string* accepted = nullptr);
  // The close box: sends Close; true when no listener cancelled it. The listener decides what
  // closing means (destroying the window or not).
  bool close(WindowHandle h);

 private:
  struct Window {
    WindowHandle parent = 0;
    std::u16string class_name;
    WindowRect rect;
    bool visible = false;
    bool enabled = true;
    bool holds_loop = false;
    std::vector<WindowHandle> children;
    std::map<std::u16string, Variant> props;  // lower-case names
    std::map<uint32_t, EventLoop::TimerId> timers;
    std::shared_ptr<Listener> listener;
  };
  Window* find(WindowHandle h);
  const Window* find(WindowHandle h) const;
  bool accepts_input(WindowHandle h) const;
  void update_hold(WindowHandle h, Window& w);
  void drop_focus_inside(WindowHandle h);

  EventLoop& loop() const { return loop_ ? *loop_ : event_loop(); }
  EventLoop* loop_;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> top_level_;
  WindowHandle next_ = 0x10;
  WindowHandle focus_ = 0;
};

// The process's window system, on the process's event loop.
WindowSystem& window_system();

}  // namespace qz
