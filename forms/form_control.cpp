#include "forms/form_control.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "com/convert.h"
#include "com/error.h"
#include "forms/event_forwarding.h"
#include "forms/script_form.h"

namespace qz {

namespace {

// Members every control (or every control of some kinds) has, with behaviour of their own.
enum Member : DispId {
  kName = 1, kIndex, kLeft, kTop, kWidth, kHeight, kVisible, kEnabled, kTag, kHWnd, kSetFocus,
  kMove, kZOrder, kRefresh, kParent, kInterval, kAddItem, kRemoveItem, kClear, kListCount, kList,
  kListIndex, kFirstStored = 100,
};

constexpr std::u16string_view kMemberNames[] = {
    u"", u"Name", u"Index", u"Left", u"Top", u"Width", u"Height", u"Visible", u"Enabled", u"Tag", u"hWnd",
    u"SetFocus", u"Move", u"ZOrder", u"Refresh", u"Parent", u"Interval", u"AddItem", u"RemoveItem",
    u"Clear", u"ListCount", u"List", u"ListIndex"};

constexpr int kObjectUnloaded = 364;
constexpr int kInvalidArgument = 5;

// Stored properties of every kind share one id space, so a name has one id for every control.
struct StoredNames {
  std::map<std::u16string, DispId> ids;
  std::vector<std::u16string_view> names;
};
const StoredNames& stored_names() {
  static const StoredNames* table = [] {
    auto* t = new StoredNames();
    for (const ControlKind& k : control_kinds())
      for (const ControlProperty& p : k.properties)
        if (t->ids.emplace(lower(p.name), kFirstStored + static_cast<DispId>(t->names.size())).second)
          t->names.push_back(p.name);
    return t;
  }();
  return *table;
}

const ControlProperty* stored_property(const ControlKind& kind, std::u16string_view name) {
  for (const ControlProperty& p : kind.properties)
    if (iequals(p.name, name)) return &p;
  return nullptr;
}

bool is_invisible_kind(const ControlKind& k) { return !k.shown_by_add; }
bool is_windowless(const ControlKind& k) {
  return k.kind_name == u"cshape" || k.kind_name == u"cline" || k.kind_name == u"cimage" || k.kind_name == u"label";
}

int32_t twips(const Variant& v) {
  double d = to_double(v);
  if (!(std::fabs(d) < 2147483647.0)) raise(6);  // Overflow
  return static_cast<int32_t>(std::lround(d));
}

}  // namespace

FormControl::FormControl(ScriptForm* form, const ControlKind& kind, int16_t index, WindowHandle form_window,
                         const FormControl* model)
    : form_(form), kind_(kind), index_(index) {
  WindowSystem& ws = window_system();
  window_ = ws.create(form_window, kind.array_name);
  if (model && !model->unloaded()) {
    ws.move(window_, ws.rect(model->window_));
    for (const ControlProperty& p : kind.properties)
      if (ws.has_property(model->window_, p.name))
        ws.set_property(window_, p.name, ws.property(model->window_, p.name));
    for (std::u16string_view n : {u"Tag", u"Enabled", u"Interval"})
      if (ws.has_property(model->window_, n)) ws.set_property(window_, n, ws.property(model->window_, n));
    ws.enable(window_, ws.enabled(model->window_));
    items_ = model->items_;
  } else {
    ws.move(window_, {0, 0, 1215, 495});
    std::vector<std::pair<std::u16string_view, Variant>> design;
    control_design_values(kind, design);
    for (auto& [name, value] : design) ws.set_property(window_, name, value);
    if (kind.kind_name == u"ctimer") {
      ws.set_property(window_, u"Enabled", Variant(false));
      ws.set_property(window_, u"Interval", Variant(int32_t{0}));
    }
  }
  ws.set_listener(window_, [this](WindowEvent& e) { on_window_event(e); });
  update_timer();
}

FormControl::~FormControl() { unload(); }

void FormControl::unload() {
  if (window_) window_system().destroy(window_);
  window_ = 0;
  form_ = nullptr;
}

int32_t FormControl::form_tag() const { return form_ ? form_->form_tag() : 0; }

bool FormControl::has_list() const {
  return kind_.kind_name == u"list" || kind_.kind_name == u"combo" || kind_.kind_name == u"lcombo";
}

DispId FormControl::find_member(std::u16string_view name) {
  std::u16string l = lower(name);
  for (DispId id = kName; id < static_cast<DispId>(std::size(kMemberNames)); ++id) {
    if (lower(kMemberNames[id]) != l) continue;
    switch (id) {
      case kVisible: case kSetFocus: case kZOrder: case kRefresh:
        if (is_invisible_kind(kind_)) return kDispUnknown;
        if (id == kSetFocus && is_windowless(kind_)) return kDispUnknown;
        break;
      case kInterval:
        if (kind_.kind_name != u"ctimer") return kDispUnknown;
        break;
      case kAddItem: case kRemoveItem: case kClear: case kListCount: case kList: case kListIndex:
        if (!has_list()) return kDispUnknown;
        break;
      default:
        break;
    }
    return id;
  }
  if (!stored_property(kind_, name)) return kDispUnknown;
  auto it = stored_names().ids.find(l);
  return it == stored_names().ids.end() ? kDispUnknown : it->second;
}

std::u16string FormControl::member_name(DispId id) const {
  if (id > 0 && id < static_cast<DispId>(std::size(kMemberNames))) return std::u16string(kMemberNames[id]);
  size_t i = static_cast<size_t>(id - kFirstStored);
  if (id >= kFirstStored && i < stored_names().names.size()) return std::u16string(stored_names().names[i]);
  return {};
}

Variant FormControl::invoke(DispId id, CallKind call, Args args) {
  if (unloaded()) raise(kObjectUnloaded);
  if (id == kDispValue) {
    if (kind_.default_property.empty()) raise_not_supported(u"");
    id = find_member(kind_.default_property);
  }
  if (id == kDispUnknown) raise_not_supported(u"");
  if (call & (kLet | kSet)) {
    let_member(id, args.indices(), args.value());
    return Variant();
  }
  return get_member(id, args);
}

Variant FormControl::get_member(DispId id, Args args) {
  WindowSystem& ws = window_system();
  WindowRect r = ws.rect(window_);
  switch (id) {
    case kName: return Variant(std::u16string(kind_.array_name));
    case kIndex: return Variant(index_);
    case kLeft: return Variant(static_cast<float>(r.left));
    case kTop: return Variant(static_cast<float>(r.top));
    case kWidth: return Variant(static_cast<float>(r.width));
    case kHeight: return Variant(static_cast<float>(r.height));
    case kVisible: return Variant(ws.visible(window_));
    case kEnabled:
      if (kind_.kind_name == u"ctimer") return Variant(to_bool(ws.property(window_, u"Enabled")));
      return Variant(ws.enabled(window_));
    case kTag: return Variant(to_str(ws.property(window_, u"Tag")));
    case kHWnd: return Variant(int32_t{window_});
    case kSetFocus:
      if (!ws.set_focus(window_)) raise(kInvalidArgument, u"Invalid procedure call or argument");
      return Variant();
    case kMove: {
      if (args.has(0)) r.left = twips(args[0]);
      if (args.has(1)) r.top = twips(args[1]);
      if (args.has(2)) r.width = twips(args[2]);
      if (args.has(3)) r.height = twips(args[3]);
      ws.move(window_, r);
      return Variant();
    }
    case kZOrder:
      if (args.has(0) && to_integer(args[0]) == 1) ws.send_to_back(window_);
      else ws.bring_to_top(window_);
      return Variant();
    case kRefresh: ws.invalidate(window_); return Variant();
    case kParent: return form_ ? Variant(static_cast<Object*>(form_)) : Variant::nothing();
    case kInterval: return Variant(to_long(ws.property(window_, u"Interval")));
    case kAddItem: {
      std::u16string item = to_u16(args[0]);
      if (args.has(1)) {
        int32_t at = to_long(args[1]);
        if (at < 0 || static_cast<size_t>(at) > items_.size()) raise(kInvalidArgument);
        items_.insert(items_.begin() + at, item);
      } else {
        items_.push_back(item);
      }
      return Variant();
    }
    case kRemoveItem: {
      int32_t at = to_long(args[0]);
      if (at < 0 || static_cast<size_t>(at) >= items_.size()) raise(kInvalidArgument);
      items_.erase(items_.begin() + at);
      if (list_index_ >= static_cast<int32_t>(items_.size())) list_index_ = -1;
      return Variant();
    }
    case kClear:
      items_.clear();
      list_index_ = -1;
      return Variant();
    case kListCount: return Variant(static_cast<int32_t>(items_.size()));
    case kList: {
      int32_t at = to_long(args[0]);
      if (at < 0 || static_cast<size_t>(at) >= items_.size()) return Variant(u"");
      return Variant(items_[static_cast<size_t>(at)]);
    }
    case kListIndex: return Variant(list_index_);
    default: break;
  }
  std::u16string name = member_name(id);
  if (has_list() && lower(name) == u"text" && kind_.kind_name != u"combo")
    return Variant(list_index_ >= 0 ? items_[static_cast<size_t>(list_index_)] : std::u16string());
  const ControlProperty* p = stored_property(kind_, name);
  Variant v = ws.property(window_, name);
  if (v.is_empty() && p && p->type != VT::Variant) return p->type == VT::String ? Variant(u"") : coerce(Variant(int16_t{0}), p->type);
  return v;
}

void FormControl::let_member(DispId id, Args indices, const Variant& value) {
  WindowSystem& ws = window_system();
  WindowRect r = ws.rect(window_);
  Ref<FormControl> keep(this);  // an event below may have the script unload this control
  switch (id) {
    case kLeft: r.left = twips(value); ws.move(window_, r); return;
    case kTop: r.top = twips(value); ws.move(window_, r); return;
    case kWidth: r.width = twips(value); if (r.width < 0) raise(380); ws.move(window_, r); return;
    case kHeight: r.height = twips(value); if (r.height < 0) raise(380); ws.move(window_, r); return;
    case kVisible: ws.show(window_, to_bool(value)); return;
    case kEnabled:
      if (kind_.kind_name == u"ctimer") {
        ws.set_property(window_, u"Enabled", Variant(to_bool(value)));
        update_timer();
      } else {
        ws.enable(window_, to_bool(value));
      }
      return;
    case kTag: ws.set_property(window_, u"Tag", Variant(to_str(value))); return;
    case kInterval: {
      int32_t ms = to_long(value);
      if (ms < 0 || ms > 65535) raise(380);  // Invalid property value
      ws.set_property(window_, u"Interval", Variant(ms));
      update_timer();
      return;
    }
    case kList: {
      int32_t at = to_long(indices[0]);
      if (at < 0 || static_cast<size_t>(at) >= items_.size()) raise(381);  // Invalid property array index
      items_[static_cast<size_t>(at)] = to_u16(value);
      return;
    }
    case kListIndex: {
      int32_t at = to_long(value);
      if (at < -1 || at >= static_cast<int32_t>(items_.size())) raise(380);
      bool changed = at != list_index_;
      list_index_ = at;
      if (changed && form_) forward_click(form_tag(), kind_.event_prefix, index_);
      return;
    }
    default: break;
  }
  if (id < kFirstStored) raise_not_supported(member_name(id));
  std::u16string name = member_name(id);
  const ControlProperty* p = stored_property(kind_, name);
  if (!p) raise_not_supported(name);
  Variant v = p->type == VT::Variant ? value.deref() : coerce(value.deref(), p->type);
  Variant old = ws.property(window_, name);
  ws.set_property(window_, name, v);
  std::u16string l = lower(name);
  if (l == u"value") {
    // Setting a button's Value presses it; a check box or option button clicks on a change.
    if (kind_.kind_name == u"command") {
      ws.set_property(window_, name, Variant(false));
      if (to_bool(v) && form_) forward_click(form_tag(), kind_.event_prefix, index_);
    } else if ((kind_.kind_name == u"check" || kind_.kind_name == u"coption") && form_) {
      bool same = !old.is_empty() && to_long(old) == to_long(v);
      if (!same && !(kind_.kind_name == u"coption" && !to_bool(v)))
        forward_click(form_tag(), kind_.event_prefix, index_);
    }
  }
  std::u16string_view event = change_event(kind_, name);
  if (!event.empty() && form_ && !(old.type() == v.type() && to_u16(old) == to_u16(v)))
    forward_event(form_tag(), element_procedure(kind_.event_prefix, index_, event));
}

void FormControl::update_timer() {
  if (kind_.kind_name != u"ctimer" || !window_) return;
  WindowSystem& ws = window_system();
  int32_t ms = to_long(ws.property(window_, u"Interval"));
  if (to_bool(ws.property(window_, u"Enabled")) && ms > 0) ws.set_timer(window_, 1, static_cast<uint32_t>(ms));
  else ws.kill_timer(window_, 1);
}

void FormControl::on_window_event(WindowEvent& e) {
  if (!form_ || kind_.event_prefix.empty() || !kind_.forwards(e.kind)) return;
  Ref<ScriptForm> keep_form(form_);  // a procedure may unload the form under this handler
  Ref<FormControl> keep(this);
  int32_t tag = form_tag();
  auto run = [&](std::u16string_view event, std::initializer_list<Variant*> args) {
    forward_event(tag, element_procedure(kind_.event_prefix, index_, event), args);
  };
  switch (e.kind) {
    case WindowEventKind::Timer: run(u"Timer", {}); break;
    case WindowEventKind::Click: forward_click(tag, kind_.event_prefix, index_); break;
    case WindowEventKind::DblClick: run(u"DblClick", {}); break;
    case WindowEventKind::GotFocus: run(u"GotFocus", {}); break;
    case WindowEventKind::LostFocus: run(u"LostFocus", {}); break;
    case WindowEventKind::Resize: run(u"Resize", {}); break;
    case WindowEventKind::Paint: run(u"Paint", {}); break;
    case WindowEventKind::KeyPress: {
      Variant ascii(static_cast<int16_t>(e.code));
      run(u"KeyPress", {&ascii});
      try { e.code = to_integer(ascii); } catch (...) {}
      type_character(e.code);
      break;
    }
    case WindowEventKind::KeyDown:
    case WindowEventKind::KeyUp: {
      Variant code(static_cast<int16_t>(e.code)), shift(static_cast<int16_t>(e.shift));
      run(e.kind == WindowEventKind::KeyDown ? u"KeyDown" : u"KeyUp", {&code, &shift});
      try { e.code = to_integer(code); } catch (...) {}
      break;
    }
    case WindowEventKind::MouseDown:
    case WindowEventKind::MouseUp:
    case WindowEventKind::MouseMove: {
      Variant button(static_cast<int16_t>(e.button)), shift(static_cast<int16_t>(e.shift)), x(e.x), y(e.y);
      std::u16string_view name = e.kind == WindowEventKind::MouseDown ? u"MouseDown"
                                 : e.kind == WindowEventKind::MouseUp ? u"MouseUp" : u"MouseMove";
      run(name, {&button, &shift, &x, &y});
      break;
    }
    default:
      break;
  }
}

void FormControl::type_character(int32_t ch) {
  // A text box takes the character its KeyPress procedure left: backspace removes one.
  std::u16string_view k = kind_.kind_name;
  if (ch == 0 || unloaded() || !(k == u"text" || k == u"mtext" || k == u"textbox" || k == u"combo")) return;
  WindowSystem& ws = window_system();
  std::u16string text = to_u16(ws.property(window_, u"Text"));
  if (ch == 8) {
    if (text.empty()) return;
    text.pop_back();
  } else if (ch >= 32 || ((ch == 13 || ch == 10) && k != u"text" && k != u"combo")) {
    text.push_back(static_cast<char16_t>(ch));
  } else {
    return;
  }
  Variant v(text);
  let_member(find_member(u"Text"), Args(), v);
}

}  // namespace qz
