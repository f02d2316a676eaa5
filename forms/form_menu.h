// clsMenu, the run-time menu of a script form: a menu bar on the form's window or a pop-up
// menu, built item by item by the script (Add, Remove, SetStateItem ...), with sub-menus in
// `subMenu`. A chosen item runs `<NameMenu or "Menu"><id>_Click` in the form's module and,
// unless that returned a true value, `<NameMenu or "Menu">_Click` with the id. The toolkit
// shows a snapshot of the items (MenuEntries); the menu's own state lives here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/object.h"
#include "platform/window/window_system.h"

namespace qz {

class FormMenu final : public NativeObject<FormMenu> {
 public:
  static void define(Members<FormMenu>& m);
  std::u16string type_name() const override { return u"clsMenu"; }
  FormMenu();

  int32_t hwnd = 0;        // iHwnd: the owner window
  int32_t form_tag = 0;    // iFormTag: the module the item procedures run in
  std::u16string name;     // NameMenu

  // The menu's state bits of the platform (by command or, with kByPosition, by position).
  static constexpr int32_t kGrayed = 1, kDisabled = 2, kChecked = 8, kPopup = 0x10, kByPosition = 0x400,
                           kSeparator = 0x800, kDefault = 0x1000;

  void add(int32_t id, const std::u16string& text, const std::u16string& submenu_key, int16_t state, bool is_default,
           bool checked, const Variant* image1, const Variant* image2);
  // Attaches the menu bar to the owner window (a pop-up menu does nothing).
  void redraw();
  // Pops the menu up (or attaches a bar) and runs the chosen item's procedures; returns once
  // the menu has closed and they have run. The engine's loop runs meanwhile.
  void show(int32_t x, int32_t y, bool always_popup = false);
  MenuEntries entries() const;

 private:
  struct Item {
    int32_t id = 0;
    std::u16string text;
    int32_t state = 0;  // kGrayed, kDisabled, kChecked, kSeparator, kDefault, kPopup
    Ref<FormMenu> submenu;
    int32_t picture = 0, checked_picture = 0;
  };
  Item* find_item(int32_t id, int32_t flags);
  int32_t image_handle(const Variant* image, std::u16string key);

  std::vector<Item> items_;
  Ref<Collection> submenus_;  // subMenu, made on first use
  Ref<Collection> pictures_;  // pictures loaded from files, kept for the menu's life
  bool popup_ = false;
  int32_t handle_;
};

// Runs a chosen item's procedures in module `module`: `<prefix><id>_Click`, then, unless its
// result is true, `<prefix>_Click` with the id. `prefix` empty means "Menu".
void run_menu_command(int32_t module, std::u16string_view prefix, int32_t id);

}  // namespace qz
