#include "forms/form_menu.h"

#include <memory>
#include <string>

#include "com/convert.h"
#include "com/error.h"
#include "forms/event_forwarding.h"
#include "platform/event_loop.h"

namespace qz {

namespace {

// Menu handles: numbers of their own, as the platform's menu handles are not window handles.
int32_t next_menu_handle() {
  static int32_t next = 0x00100000;
  return ++next;
}

std::u16string decimal(int32_t n) {
  std::u16string s;
  for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
  return s;
}

// A procedure's result counts as true when it is a number (or converts to one) other than 0.
bool true_result(bool ran, const Variant& r) {
  if (!ran || r.is_empty()) return false;
  try {
    return to_double(r) != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace

void run_menu_command(int32_t module, std::u16string_view prefix, int32_t id) {
  std::u16string base = prefix.empty() ? std::u16string(u"Menu") : std::u16string(prefix);
  Variant result;
  bool ran = forward_event(module, base + decimal(id) + u"_Click", {}, &result);
  if (true_result(ran, result)) return;
  Variant arg(id);
  forward_event(module, base + u"_Click", {&arg});
}

FormMenu::FormMenu() : handle_(next_menu_handle()) {}

FormMenu::Item* FormMenu::find_item(int32_t id, int32_t flags) {
  if (flags & kByPosition) {
    if (id < 0 || static_cast<size_t>(id) >= items_.size()) return nullptr;
    return &items_[static_cast<size_t>(id)];
  }
  // By command the platform looks into the sub-menus as well.
  for (Item& item : items_) {
    if (!item.submenu && !(item.state & kSeparator) && item.id == id) return &item;
    if (item.submenu)
      if (Item* inner = item.submenu->find_item(id, 0)) return inner;
  }
  return nullptr;
}

int32_t FormMenu::image_handle(const Variant* image, std::u16string key) {
  if (!image || image->is_missing()) return 0;
  try {
    Variant v = image->deref();
    if (v.type() == VT::String) {
      if (!pictures_) pictures_ = make_ref<Collection>();
      if (!pictures_->find(key)) {
        Ref<Object> picture = window_system().load_picture(to_u16(v));
        pictures_->add(Variant(picture.get()), key);
      }
      const Variant* kept = pictures_->find(key);
      return kept ? to_long(to_object(*kept)->get(u"Handle")) : 0;
    }
    if (v.is_object()) return to_long(to_object(v)->get(u"Handle"));
    return to_long(v);
  } catch (...) {
    return 0;  // an image that cannot be loaded leaves the item without one
  }
}

void FormMenu::add(int32_t id, const std::u16string& text, const std::u16string& submenu_key, int16_t state,
                   bool is_default, bool checked, const Variant* image1, const Variant* image2) {
  if (!submenu_key.empty()) {
    Ref<FormMenu> sub = make_ref<FormMenu>();
    sub->form_tag = form_tag;
    sub->hwnd = hwnd;
    if (!submenus_) submenus_ = make_ref<Collection>();
    try {
      submenus_->add(Variant(static_cast<Object*>(sub.get())), submenu_key);
    } catch (...) {
      return;
    }
    // Without a text the sub-menu exists in subMenu but shows nowhere.
    if (!text.empty()) items_.push_back(Item{0, text, kPopup, sub, 0, 0});
    return;
  }
  Item item;
  item.id = id;
  if (text == u"-") {
    item.state = kSeparator;
  } else {
    item.text = text;
    if (checked) item.state |= kChecked;
  }
  item.picture = image_handle(image1, u"p1_" + decimal(id));
  item.checked_picture = image_handle(image2, u"p2_" + decimal(id));
  items_.push_back(item);
  if (is_default) {
    for (Item& other : items_) other.state &= ~kDefault;
    items_.back().state |= kDefault;
  }
  if (state != 0) items_.back().state |= kGrayed;
}

MenuEntries FormMenu::entries() const {
  MenuEntries out;
  for (const Item& item : items_) {
    MenuEntry e;
    e.id = item.id;
    e.text = item.text;
    e.separator = (item.state & kSeparator) != 0;
    e.checked = (item.state & kChecked) != 0;
    e.grayed = (item.state & (kGrayed | kDisabled)) != 0;
    e.is_default = (item.state & kDefault) != 0;
    e.picture = item.picture;
    e.checked_picture = item.checked_picture;
    if (item.submenu) {
      e.is_submenu = true;
      e.submenu = item.submenu->entries();
    }
    out.push_back(std::move(e));
  }
  return out;
}

void FormMenu::redraw() {
  if (popup_ || hwnd == 0 || !window_system_loaded()) return;
  window_system().set_menu_bar(hwnd, entries());
}

void FormMenu::show(int32_t x, int32_t y, bool always_popup) {
  if (!popup_ && !always_popup) {
    redraw();
    return;
  }
  Ref<FormMenu> keep(this);
  struct Outcome {
    bool closed = false;
    int32_t id = 0;
  };
  auto outcome = std::make_shared<Outcome>();
  window_system().popup_menu(entries(), x, y, [outcome](int32_t id) {
    outcome->id = id;
    outcome->closed = true;
  });
  // The engine's loop runs while the menu is open (timers fire); the menu has no loop.
  EventLoop& loop = event_loop();
  while (!outcome->closed && !loop.quitting()) loop.run_once();
  if (!outcome->closed) return;
  run_menu_command(form_tag, name, outcome->id);
}

void FormMenu::define(Members<FormMenu>& m) {
  m.property(u"NameMenu", [](FormMenu& o, Args) { return Variant(o.name); },
             [](FormMenu& o, Args, const Variant& v) { o.name = to_u16(v); });
  m.property(u"iHwnd", [](FormMenu& o, Args) { return Variant(o.hwnd); },
             [](FormMenu& o, Args, const Variant& v) { o.hwnd = to_long(v); });
  m.property(u"iFormTag", [](FormMenu& o, Args) { return Variant(o.form_tag); },
             [](FormMenu& o, Args, const Variant& v) { o.form_tag = to_long(v); });
  m.property(u"subMenu", [](FormMenu& o, Args a) -> Variant {
    if (!o.submenus_) o.submenus_ = make_ref<Collection>();
    if (a.has(0)) return o.submenus_->item(a[0]);
    return Variant(static_cast<Object*>(o.submenus_.get()));
  }, [](FormMenu& o, Args, const Variant& v) {
    auto* c = dynamic_cast<Collection*>(to_object(v));
    if (!c) raise(13);
    o.submenus_ = Ref<Collection>(c);
  });
  m.setter(u"subMenu", [](FormMenu& o, Args, const Variant& v) {
    auto* c = dynamic_cast<Collection*>(to_object(v));
    if (!c) raise(13);
    o.submenus_ = Ref<Collection>(c);
  });
  m.property(u"IsPopupMenu", [](FormMenu& o, Args) { return Variant(o.popup_); },
             [](FormMenu& o, Args, const Variant& v) {
               o.popup_ = to_bool(v);
               if (o.popup_) {
                 // A new, empty pop-up menu takes the place of what was built before.
                 o.items_.clear();
                 o.handle_ = next_menu_handle();
               }
             });
  m.getter(u"GetNameItem", [](FormMenu& o, Args a) {
    Item* item = o.find_item(to_long(a[0]), 0);
    return Variant(item ? item->text.substr(0, 250) : std::u16string());
  });
  m.method(u"GetStateItem", [](FormMenu& o, Args a) {
    int32_t flags = to_long(a[1]);
    Item* item = o.find_item(to_long(a[0]), 0);
    // The platform's state call answers -1 (all bits) for an id it does not know.
    return Variant(static_cast<int32_t>((item ? item->state : -1) & flags));
  });
  m.method(u"SetStateItem", [](FormMenu& o, Args a) {
    int32_t id = to_long(a[0]);
    int32_t flags = to_long(a[1]);
    std::u16string caption = a.has(2) ? to_u16(a[2]) : std::u16string();
    int32_t new_id = a.has(3) ? to_long(a[3]) : -1;
    Item* item = o.find_item(id, flags);
    if (!item) return Variant(int32_t{0});
    if (!caption.empty()) item->text = caption;
    if (new_id != -1) item->id = new_id;
    int32_t kept = item->state & (kPopup | kDefault);
    item->state = kept | (flags & (kGrayed | kDisabled | kChecked | kSeparator));
    o.redraw();
    return Variant(int32_t{1});
  });
  m.getter(u"Hwnd", [](FormMenu& o, Args) { return Variant(o.handle_); });
  m.method(u"Remove", [](FormMenu& o, Args a) {
    int32_t pos = to_long(a[0]);
    if (pos >= 0 && static_cast<size_t>(pos) < o.items_.size()) o.items_.erase(o.items_.begin() + pos);
    o.redraw();
    return Variant();
  });
  m.method(u"Add", [](FormMenu& o, Args a) {
    try {
      int32_t id = a.has(0) ? to_long(a[0]) : 0;
      std::u16string text = a.has(1) ? to_u16(a[1]) : std::u16string();
      std::u16string sub = a.has(2) ? to_u16(a[2]) : std::u16string();
      int16_t state = a.has(3) ? to_integer(a[3]) : int16_t{0};
      bool is_default = a.has(4) && to_bool(a[4]);
      bool checked = a.has(5) && to_bool(a[5]);
      o.add(id, text, sub, state, is_default, checked, a.has(6) ? &a[6] : nullptr, a.has(7) ? &a[7] : nullptr);
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"Show", [](FormMenu& o, Args a) {
    try {
      o.show(a.has(0) ? to_long(a[0]) : -1, a.has(1) ? to_long(a[1]) : -1);
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"RedrawMenu", [](FormMenu& o, Args) {
    o.redraw();
    return Variant();
  });
}

}  // namespace qz
