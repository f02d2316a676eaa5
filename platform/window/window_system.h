// The window system the script forms stand on. Its one implementation is on Qt 6 Widgets and
// lives in a library of its own (libquazel_gui.so) that is loaded on the first use of a window,
// a picture or a drawing, so a script that never shows a window never loads Qt.
//
// The toolkit owns every window's state: a control is a Qt widget with its own properties,
// methods and event table, handed out as a dispatch object (ToolkitWindow) that the script holds
// directly. The engine side (forms/) keeps what belongs to the script: the form object, control
// arrays, the factory and the forwarding of events to script procedures.
//
// Events reach the window's listener inside the toolkit's own event, on the one thread; the
// listener runs the script procedure and may change the event's arguments (a key code set to
// 0 swallows the key). Nothing is queued.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "platform/window/dialog_services.h"
#include "platform/window/window_styles.h"

namespace qz {

class EventLoop;
class GraphicsServices;
class MediaServices;

// Screen geometry: 15 twips per pixel in both directions.
constexpr int32_t kTwipsPerPixel = 15;

// A number from one process-wide table of windows; 0 is no window. Numbers a script did not get
// from us name no window and are refused, never dereferenced.
using WindowHandle = int32_t;

// One event of a window: its name as the event tables give it ("Click", "KeyPress",
// "MouseMove", "Change", "Scroll", "Over", "Out", "QueryUnload"), its arguments typed as the
// table says (16-bit integers for buttons and keys, Single for coordinates), and the result
// of the procedure for the events that take one.
struct WindowEvent {
  std::u16string_view name;
  Variant* args = nullptr;
  size_t count = 0;
  Variant result;        // what the procedure returned (Empty when nothing ran)
  bool ran = false;      // a procedure ran to its end
};
using WindowListener = std::function<void(WindowEvent&)>;

// A window message, emulated on the toolkit's events (platform/window/window_messages.h lists
// which): the window it is for, its number and its two parameters as the platform packs them.
struct WindowMessage {
  WindowHandle window = 0;
  int32_t message = 0;
  int32_t wparam = 0;
  int32_t lparam = 0;
};
// Hears the messages of every watched window, inside the toolkit's event that makes them.
using MessageHook = std::function<void(const WindowMessage&)>;

// One entry of a run-time menu as the engine builds it; the toolkit shows a snapshot of these.
struct MenuEntry {
  int32_t id = 0;
  std::u16string text;  // "&" marks the mnemonic
  bool separator = false;
  bool checked = false;
  bool grayed = false;
  bool is_default = false;
  bool is_submenu = false;
  int32_t picture = 0;          // picture handles (0: none), shown unchecked and checked
  int32_t checked_picture = 0;
  std::vector<MenuEntry> submenu;
  bool operator==(const MenuEntry&) const = default;
};
using MenuEntries = std::vector<MenuEntry>;

// A window of the toolkit: a form or a control. Its script-visible members (Caption, Left,
// AddItem, Line, ...) are answered through the Object interface.
class ToolkitWindow : public Object {
 public:
  virtual WindowHandle handle() const = 0;
  // The kind name it was created with ("frmForm", "Command", "Label", ...).
  virtual std::u16string_view kind() const = 0;
  virtual void set_listener(WindowListener listener) = 0;
  // The script object the window belongs to (its form), for Parent; null to drop it.
  virtual void set_parent_object(Object* owner) = 0;
  // Destroys the window and every window on it (children first); members then raise 364
  // ("Object was unloaded"). Sends no event.
  virtual void destroy() = 0;
  virtual bool destroyed() const = 0;
  virtual bool visible() const = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // A new hidden top-level form window.
  virtual Ref<ToolkitWindow> create_form(std::u16string_view caption) = 0;
  // A new hidden control of a kind ("Command", "Label", "Pic", "Text", ... the form's array
  // names) on `parent`. `index` is its control-array index, `model` (may be null) the element
  // whose settings it starts with. nullptr for an unknown kind.
  virtual Ref<ToolkitWindow> create_control(std::u16string_view kind, int16_t index, ToolkitWindow* parent,
                                            ToolkitWindow* model) = 0;
  // The live window behind a handle; nullptr for anything else.
  virtual ToolkitWindow* find(WindowHandle h) = 0;

  // Pictures: LoadPicture's object for a file (BMP, PNG, JPEG, GIF, ICO, CUR), or for bytes.
  // Raise 481 ("Invalid picture") for data that is no picture, 53 for a missing file.
  virtual Ref<Object> load_picture(std::u16string_view path) = 0;
  virtual Ref<Object> picture_from_bytes(const uint8_t* data, size_t size) = 0;
  // Writes a picture (or the image of a form or picture box) as a bitmap file; raises on failure.
  virtual void save_picture(Object* picture, std::u16string_view path) = 0;

  // A printer's document: an object with the drawing members of forms and picture boxes on
  // pages of the named printer's paper, with Width, Height, Page, NewPage and KillDoc.
  virtual Ref<Object> create_printer_pages(std::u16string_view printer) = 0;
  // What was drawn on `pages` (from create_printer_pages) as a PDF document, after which the
  // pages start a new one; empty when nothing was drawn. Raises 482 when it cannot be made.
  virtual std::string take_printer_document(Object* pages) = 0;

  // True when windows are drawn off screen (no display): Qt's offscreen platform.
  virtual bool offscreen() const = 0;
  // Hands events to the toolkit until it has none waiting (used by DoEvents).
  virtual void process_events() = 0;

  // Window messages. One hook for the process hears the messages of the windows watched; a
  // watched window that is destroyed sends WM_DESTROY last, and is not watched afterwards.
  virtual void set_message_hook(MessageHook hook) = 0;
  virtual void watch_messages(WindowHandle window, bool on) = 0;
  // Hands a message to the hook as if `m.window` had made it: only for a live window that is
  // watched. For notices that arrive from outside the toolkit's events (media completions).
  virtual void deliver_message(const WindowMessage& m) = 0;

  // The menu bar of a form window (empty entries remove it). Choosing an item sends the form
  // window WM_COMMAND with the item's id and lParam 0. The same entries again change nothing.
  virtual void set_menu_bar(WindowHandle form, const MenuEntries& entries) = 0;
  // Pops a menu up at screen pixels (x, y; -1 takes the pointer's) and returns at once, without
  // a loop of its own; `closed` hears the chosen id (0: dismissed) once the menu has closed.
  virtual void popup_menu(const MenuEntries& entries, int32_t x, int32_t y, std::function<void(int32_t)> closed) = 0;
  // Shapes a window: it shows only where `mask` (a picture) differs from the mask's pixel at
  // (0, 0). Raises 481 when `mask` is no picture.
  virtual void set_window_mask(WindowHandle window, Object* mask) = 0;

  // Device contexts, fills, pictures, icons, cursors and window calls (graphics_services.h).
  virtual GraphicsServices& graphics() = 0;
  // Media playback and the tone (media_services.h).
  virtual MediaServices& media() = 0;

  // Message, input, common, error and About dialogs on the display (dialog_services.h).
  virtual DialogServices& dialogs() = 0;
  // Switches one part of a form window's frame on or off (window_styles.h), keeping the window
  // shown or hidden as it was (a taskbar change ends with a show).
  virtual void set_window_style(WindowHandle form, WindowStylePart part, bool on) = 0;
};

// The process's window system, loading the toolkit library on the first call. Raises 429
// ("ActiveX component can't create object") when it cannot be loaded.
WindowSystem& window_system();
// True once the toolkit is loaded (the engine's reset has no forms to unload before).
bool window_system_loaded();
// Installs a window system made in this process (tests link the toolkit directly).
void set_window_system(WindowSystem* ws);

// The toolkit library's entry point: makes the window system on `loop`.
using GuiEntryFunction = WindowSystem* (*)(EventLoop* loop);
constexpr const char* kGuiEntryName = "quazel_gui_create";

}  // namespace qz
