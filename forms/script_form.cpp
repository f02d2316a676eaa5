#include "forms/script_form.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "com/convert.h"
#include "com/error.h"
#include "forms/dynamic_controls.h"
#include "forms/event_forwarding.h"
#include "forms/form_controls.h"
#include "forms/message_subscriptions.h"
#include "forms/property_lines.h"
#include "platform/event_loop.h"
#include "platform/window/window_messages.h"
#include "platform/window/window_system.h"

namespace qz {

namespace {

std::vector<Ref<ScriptForm>>& loaded_forms() {
  static auto* forms = new std::vector<Ref<ScriptForm>>();
  return *forms;
}

// Ids of the window's members, as the form hands them out.
constexpr DispId kWindowMembers = 100000;

Variant eval_in_global_scope(std::u16string_view expression) {
  ScriptControl* control = forms_script_control();
  if (!control) raise(424);  // Object required
  // A value that does not evaluate stays text: no error report, the run goes on.
  return control->eval_quietly(expression);
}

}  // namespace

void ScriptForm::define(Members<ScriptForm>& m) {
  m.property(u"Style", [](ScriptForm& f, Args) {
    if (!f.style_) f.style_ = make_ref<FormStyle>();
    return Variant(f.style_);
  }, [](ScriptForm& f, Args, const Variant& v) {
    Object* o = to_object(v);
    if (auto* s = dynamic_cast<FormStyle*>(o)) f.style_ = Ref<FormStyle>(s);
    else raise(13);  // Type mismatch
  });
  m.property(u"Menu", [](ScriptForm& f, Args) { return Variant(static_cast<Object*>(&f.menu())); },
             [](ScriptForm& f, Args, const Variant& v) {
               Object* o = to_object(v);
               if (auto* s = dynamic_cast<FormMenu*>(o)) f.menu_ = Ref<FormMenu>(s);
               else raise(13);
             });
  m.property(u"Code", [](ScriptForm& f, Args) { return f.code_; },
             [](ScriptForm& f, Args, const Variant& v) { f.code_ = Variant(to_object(v)); });
  struct BoolMember { std::u16string_view name; bool ScriptForm::*field; };
  for (BoolMember b : {BoolMember{u"NoMoveMouse", &ScriptForm::no_move_mouse_},
                       BoolMember{u"NoOverOutPic", &ScriptForm::no_over_out_pic_},
                       BoolMember{u"NoOverOutFrame", &ScriptForm::no_over_out_frame_},
                       BoolMember{u"NoOverOutCommand", &ScriptForm::no_over_out_command_}}) {
    auto field = b.field;
    m.property(b.name, [field](ScriptForm& f, Args) { return Variant(f.*field); },
               [field](ScriptForm& f, Args, const Variant& v) { f.*field = to_bool(v); });
  }
  m.property(u"formTag", [](ScriptForm& f, Args) { return Variant(f.form_tag_); },
             [](ScriptForm& f, Args, const Variant& v) { f.form_tag_ = to_long(v); });
  m.property(u"formName", [](ScriptForm& f, Args) { return Variant(f.form_name_); },
             [](ScriptForm& f, Args, const Variant& v) { f.form_name_ = to_u16(v); });
  const char16_t* gdip[] = {u"gdip_mDC", u"gdip_MainBitmap", u"gdip_OldBitmap"};
  for (int i = 0; i < 3; ++i) {
    m.property(gdip[i], [i](ScriptForm& f, Args) { return Variant(f.gdip_[i]); },
               [i](ScriptForm& f, Args, const Variant& v) { f.gdip_[i] = to_long(v); });
  }

  // Add and Remove convert their first two arguments before anything runs: an index outside
  // 16 bits reaches the script as an error; everything after that is resume-next.
  m.method(u"Add", [](ScriptForm& f, Args a) {
    std::u16string kind = to_u16(a[0]);
    int16_t index = to_integer(a[1]);
    size_t n = a.size();
    f.add(kind, index, n > 2 ? Args(a.data() + 2, n - 2) : Args());
    return Variant();
  });
  m.method(u"Remove", [](ScriptForm& f, Args a) {
    std::u16string kind = to_u16(a[0]);
    int16_t index = to_integer(a[1]);
    f.remove(kind, index);
    return Variant();
  });
  m.method(u"UnloadForm", [](ScriptForm& f, Args) {
    try { f.unload_request(); } catch (...) {}
    return Variant();
  });
  m.method(u"Show2", [](ScriptForm& f, Args a) {
    bool modal = a.has(0) && to_bool(a[0]);
    try { f.show2(modal); } catch (...) {}
    return Variant();
  });

  m.method(u"AttachMsg", [](ScriptForm& f, Args a) {
    try { f.attach_message(to_long(a[0]), to_long(a[1])); } catch (...) {}
    return Variant();
  });
  m.method(u"DetachMsg", [](ScriptForm& f, Args a) {
    try { f.detach_message(to_long(a[0]), to_long(a[1])); } catch (...) {}
    return Variant();
  });
  // The receiver's side of the subscriptions, as other code may call it too.
  m.method(u"WindowProc", [](ScriptForm& f, Args a) {
    return Variant(f.window_proc(to_long(a[0]), to_long(a[1]), to_long(a[2]), to_long(a[3])));
  });
  m.property(u"MsgResponse", [](ScriptForm& f, Args) {
    Variant r;
    if (!f.run(u"ISubclass_MsgResponse", {}, &r)) return Variant(int32_t{1});
    try {
      return Variant(r.is_empty() ? int32_t{0} : to_long(r));
    } catch (...) {
      return Variant(int32_t{1});
    }
  }, [](ScriptForm&, Args, const Variant&) {});
  m.method(u"AddLicense", [](ScriptForm&, Args a) {
    try { add_control_license(to_u16(a[0]), a.has(1) ? to_u16(a[1]) : std::u16string()); } catch (...) {}
    return Variant();
  });
  m.method(u"CreateControl", [](ScriptForm& f, Args a) {
    std::u16string progid = to_u16(a[0]);
    std::u16string name = a.has(1) ? to_u16(a[1]) : std::u16string();
    return Variant(static_cast<Object*>(f.create_control(progid, std::move(name)).get()));
  });
  m.method(u"ShowMenu", [](ScriptForm&, Args a) {
    try {
      Object* o = to_object(a[0]);
      if (auto* menu = dynamic_cast<FormMenu*>(o)) menu->show(-1, -1, true);
      else if (o) o->call(u"Show", {Variant(int32_t{-1}), Variant(int32_t{-1})});
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"InitSkin", [](ScriptForm& f, Args a) {
    f.init_skin(a.has(0) ? a[0].deref() : Variant(), a.has(1) ? a[1].deref() : Variant());
    return Variant();
  });
  m.method(u"SaveBMP_File", [](ScriptForm&, Args a) {
    try {
      WindowSystem& ws = window_system();
      Ref<Object> picture = ws.load_picture(to_u16(a[0]));
      ws.save_picture(picture.get(), to_u16(a[1]));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"SaveBMP_Handle", [](ScriptForm&, Args a) {
    try {
      Object* picture = to_object(a[0]);
      if (picture) window_system().save_picture(picture, to_u16(a[1]));
    } catch (...) {
    }
    return Variant();
  });
  m.property(u"KeyPreview", [](ScriptForm& f, Args) { return Variant(f.key_preview_); },
             [](ScriptForm& f, Args, const Variant& v) { f.key_preview_ = to_bool(v); });

  // The platform form's own members that the form object decides; the rest are its window's.
  m.method(u"Show", [](ScriptForm& f, Args a) {
    f.show(a.has(0) && to_long(a[0]) != 0);
    return Variant();
  });
  m.method(u"Hide", [](ScriptForm& f, Args) { f.hide(); return Variant(); });
  m.property(u"Visible", [](ScriptForm& f, Args) { return Variant(f.window_loaded() && f.window_->visible()); },
             [](ScriptForm& f, Args, const Variant& v) {
               if (to_bool(v)) f.show(false);
               else f.hide();
             });
  const char16_t* singles[] = {u"picMask", u"picFon", u"icoInet"};
  for (int i = 0; i < 3; ++i) {
    m.getter(singles[i], [i](ScriptForm& f, Args) {
      f.load();
      return f.singles_[i] ? Variant(static_cast<Object*>(f.singles_[i].get())) : Variant::nothing();
    });
  }
  m.getter(u"Tray", [](ScriptForm& f, Args) {
    f.load();
    return f.tray_ ? Variant(static_cast<Object*>(f.tray_.get())) : Variant::nothing();
  });
  m.getter(u"Controls", [](ScriptForm& f, Args) {
    f.load();
    std::vector<Ref<Object>> controls, arrays;
    for (Ref<ControlArray>& a : f.arrays_) {
      arrays.emplace_back(a.get());
      for (auto& [index, c] : a->elements()) controls.emplace_back(c.get());
    }
    for (auto& [key, c] : f.created_) controls.emplace_back(c.get());
    return Variant(make_ref<FormControls>(std::move(controls), std::move(arrays)));
  });
  for (const ControlKind& k : control_kinds()) {
    const ControlKind* kind = &k;
    m.getter(k.array_name, [kind](ScriptForm& f, Args) { return Variant(static_cast<Object*>(&f.array(*kind))); });
  }
}

ScriptForm::ScriptForm() = default;

ScriptForm::~ScriptForm() {
  withdraw_subscriptions(this);
  for (auto& [key, c] : created_) c->destroy();
  if (tray_) tray_->destroy();
  for (Ref<ControlArray>& a : arrays_) a->unload_all();
  for (Ref<ToolkitWindow>& single : singles_)
    if (single) single->destroy();
  if (window_) window_->destroy();
}

DispId ScriptForm::find_member(std::u16string_view name) {
  DispId id = members().find(name);
  if (id != kDispUnknown) return id;
  DispId in_window = window().find_member(name);
  return in_window == kDispUnknown ? kDispUnknown : kWindowMembers + in_window;
}

Variant ScriptForm::invoke(DispId id, CallKind kind, Args args) {
  if (id >= kWindowMembers) {
    Ref<ScriptForm> keep(this);
    return window().invoke(id - kWindowMembers, kind, args);
  }
  return NativeObject<ScriptForm>::invoke(id, kind, args);
}

std::u16string ScriptForm::member_name(DispId id) const {
  if (id >= kWindowMembers) return window_ ? window_->member_name(id - kWindowMembers) : std::u16string();
  return NativeObject<ScriptForm>::member_name(id);
}

FormMenu& ScriptForm::menu() {
  if (!menu_) menu_ = make_ref<FormMenu>();
  return *menu_;
}

ToolkitWindow& ScriptForm::window() {
  load();
  return *window_;
}

ControlArray& ScriptForm::array(const ControlKind& kind) {
  load();
  return *arrays_[static_cast<size_t>(kind.number - 1)];
}

bool ScriptForm::hover_enabled(std::u16string_view kind) const {
  if (iequals(kind, u"Pic")) return !no_over_out_pic_;
  if (iequals(kind, u"Frame")) return !no_over_out_frame_;
  if (iequals(kind, u"Command")) return !no_over_out_command_;
  return true;
}

// The load steps: no script procedure runs here, and a failing step is not caught.
void ScriptForm::load() {
  if (window_loaded()) return;
  WindowSystem& ws = window_system();
  window_ = ws.create_form(caption_);
  window_->set_parent_object(nullptr);
  window_->set_listener([this](WindowEvent& e) { on_window_event(e); });
  arrays_.clear();
  for (const ControlKind& k : control_kinds()) arrays_.push_back(make_ref<ControlArray>(this, k, window_.get()));
  for (Ref<ToolkitWindow>& single : singles_) single = ws.create_control(u"Pic", 0, window_.get(), nullptr);
  tray_ = ws.create_control(u"Tray", 0, window_.get(), nullptr);
  if (tray_) {
    tray_->set_parent_object(this);
    tray_->set_listener([this](WindowEvent& e) { forward_window_event(*this, u"Tray", u"Tray", -1, e); });
    // The icon starts as the form's own, when the window has one.
    try {
      if (window_->find_member(u"Icon") != kDispUnknown) tray_->set(u"TrayIcon", window_->get(u"Icon"));
    } catch (...) {
    }
  }
  if (!style_) style_ = make_ref<FormStyle>();
  style_->hwnd = window_->handle();
  menu().hwnd = window_->handle();
  // The browser element stops whatever it was told at design time.
  if (ToolkitWindow* web = arrays_[23]->element(0)) {
    if (web->find_member(u"Stop") != kDispUnknown) web->call(u"Stop");
  }
  loaded_forms().push_back(Ref<ScriptForm>(this));
  // Menu commands arrive as WM_COMMAND on the form's own window.
  attach_message(wm::kCommand, -1);
}

void ScriptForm::unload_window() {
  if (!window_loaded()) return;
  Ref<ScriptForm> keep(this);
  form_loaded_ = false;
  ++unloads_;
  std::vector<Ref<ControlArray>> arrays;
  arrays.swap(arrays_);
  // No subscription outlives the load: the form's own and those the script made go first.
  detach_message(wm::kCommand, -1);
  withdraw_subscriptions(this);
  for (Ref<ControlArray>& a : arrays) a->unload_all();
  for (auto& [key, c] : created_) c->destroy();
  created_.clear();
  if (tray_) {
    tray_->set_listener(nullptr);
    tray_->destroy();
    tray_ = nullptr;
  }
  for (Ref<ToolkitWindow>& single : singles_) {
    if (single) single->destroy();
    single = nullptr;
  }
  Ref<ToolkitWindow> w = window_;
  w->set_listener(nullptr);
  w->destroy();
  auto& forms = loaded_forms();
  forms.erase(std::remove_if(forms.begin(), forms.end(), [this](const Ref<ScriptForm>& f) { return f.get() == this; }),
              forms.end());
}

bool ScriptForm::run(std::u16string_view procedure, std::initializer_list<Variant*> args, Variant* result) {
  return forward_event(form_tag_, procedure, args, result);
}

void ScriptForm::activate() {
  Ref<ScriptForm> keep(this);
  if (!form_loaded_) {
    form_loaded_ = true;
    run(u"Form_Load");
  }
  if (window_loaded()) run(u"Form_Activate");
}

void ScriptForm::show(bool modal) {
  Ref<ScriptForm> keep(this);
  load();
  Ref<ToolkitWindow> w = window_;
  w->let(u"Visible", Variant(true));  // the window's Shown event activates the form
  // What has just become visible is painted before Show returns, as the platform does.
  if (!w->destroyed() && w->visible()) window_system().process_events();
  if (!modal) return;
  // Modal: the loop runs (timers, other forms' events) until this form is hidden or gone; it
  // waits for events instead of polling.
  EventLoop& loop = event_loop();
  while (!w->destroyed() && w->visible() && !loop.quitting()) loop.run_once();
}

void ScriptForm::show2(bool modal) {
  if (form_loaded_) return;
  Ref<ScriptForm> keep(this);
  load();
  form_loaded_ = true;
  uint32_t unloads = unloads_;
  run(u"Form_Load");
  if (unloads_ != unloads || !form_loaded_) return;  // unloaded during its own load: it stays so
  show(modal);
}

void ScriptForm::hide() {
  if (window_loaded()) window_->let(u"Visible", Variant(false));
}

bool ScriptForm::unload_request(bool forced) {
  if (!window_loaded()) {
    if (form_loaded_) {  // unloaded before its window came: the load is over all the same
      form_loaded_ = false;
      ++unloads_;
    }
    return true;
  }
  Ref<ScriptForm> keep(this);
  if (!forced) {
    int16_t code = 0;
    Variant result;
    if (run(u"Form_Unload", {}, &result)) {
      try {
        code = result.is_empty() ? int16_t{0} : to_integer(result);
      } catch (...) {
        code = 0;
      }
    }
    if (!window_loaded()) return true;  // the procedure unloaded the form itself
    if (code == 2) {
      hide();
      return false;
    }
    if (code != 0) return false;
  }
  unload_window();
  return true;
}

void ScriptForm::add(std::u16string_view kind_name, int16_t index, Args lines) {
  const ControlKind* kind = find_control_kind(kind_name);
  if (!kind) return;
  Ref<ScriptForm> keep(this);
  try {
    ControlArray& a = array(*kind);
    a.load(index);
    Ref<ToolkitWindow> element(a.element(index));
    if (!element) return;
    if (kind->shown_by_add) {
      try { element->let(u"Visible", Variant(true)); } catch (...) {}
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      if (element->destroyed()) return;
      std::u16string line;
      try { line = to_u16(lines[i]); } catch (...) { continue; }
      apply_property_line(*element, line, eval_in_global_scope);
    }
  } catch (...) {
  }
}

void ScriptForm::remove(std::u16string_view kind_name, int16_t index) {
  const ControlKind* kind = find_control_kind(kind_name);
  if (!kind || !window_loaded()) return;  // an unloaded form has no loaded elements
  try {
    arrays_[static_cast<size_t>(kind->number - 1)]->unload(index);
  } catch (...) {
  }
}

void ScriptForm::on_window_event(WindowEvent& e) {
  Ref<ScriptForm> keep(this);
  // The toolkit's questions about the form's switches.
  if (e.name == u"HoverTracking") {
    e.result = Variant(e.count > 0 && hover_enabled(to_u16(e.args[0])));
    return;
  }
  if (e.name == u"MoveWithMouse") {
    e.result = Variant(!no_move_mouse_);
    return;
  }
  if (e.name == u"KeyPreview") {
    e.result = Variant(key_preview_);
    return;
  }
  if (e.name == u"Shown") {
    activate();
  } else if (e.name == u"Close") {
    e.result = Variant(int16_t(unload_request() ? 0 : 1));
  } else if (e.name == u"Paint") {
    try { menu().call(u"RedrawMenu"); } catch (...) {}
    run(u"Form_Paint");
  } else {
    forward_window_event(*this, u"Form", u"Form", -1, e);
  }
}

Ref<ScriptForm> create_script_form(int32_t module, std::u16string name) {
  Ref<ScriptForm> form = make_ref<ScriptForm>();
  form->set_form_tag(module);
  form->menu().form_tag = module;
  form->set_form_name(std::move(name));
  return form;
}

std::vector<Ref<ScriptForm>> open_script_forms() { return loaded_forms(); }

void unload_all_script_forms() {
  std::vector<Ref<ScriptForm>> forms = loaded_forms();
  for (Ref<ScriptForm>& f : forms) f->unload_request(true);
  // Forms that never loaded may have subscribed to other windows: nothing calls into the
  // script once it is reset.
  clear_subscriptions();
}

WindowHandle ScriptForm::message_window(int32_t hwnd) {
  return hwnd == -1 ? window().handle() : hwnd;
}

void ScriptForm::attach_message(int32_t message, int32_t window) {
  subscribe_message(this, message_window(window), message);
}

void ScriptForm::detach_message(int32_t message, int32_t window) {
  if (window == -1 && !window_loaded()) return;
  unsubscribe_message(this, message_window(window), message);
}

int32_t ScriptForm::window_proc(int32_t hwnd, int32_t message, int32_t wparam, int32_t lparam) {
  Ref<ScriptForm> keep(this);
  Variant h(hwnd), msg(message), wp(wparam), lp(lparam), r;
  int32_t answer = 0;
  // The procedure gets copies of the four values; what it leaves in them decides below.
  if (run(u"ISubclass_WindowProc", {&h, &msg, &wp, &lp}, &r)) {
    try {
      answer = r.is_empty() ? 0 : to_long(r);
    } catch (...) {
    }
  }
  try {
    if (to_long(msg) == wm::kCommand && to_long(lp) == 0) run_menu_command(form_tag_, menu().name, to_long(wp));
  } catch (...) {
  }
  return answer;
}

Ref<ToolkitWindow> ScriptForm::create_control(std::u16string_view progid, std::u16string name) {
  Ref<ScriptForm> keep(this);
  std::u16string key = next_dynamic_control_key();  // a failed creation uses up its key too
  std::u16string_view kind = builtin_kind_of_progid(progid);
  if (kind.empty()) raise(429, u"ActiveX component can't create object");
  Ref<ToolkitWindow> c = window_system().create_control(kind, 0, &window(), nullptr);
  if (!c) raise(429, u"ActiveX component can't create object");
  c->set_parent_object(this);
  c->set_listener(dynamic_control_listener(form_tag_, std::move(name)));
  try {
    if (c->find_member(u"Visible") != kDispUnknown) c->let(u"Visible", Variant(true));
  } catch (...) {
  }
  created_.emplace_back(std::move(key), c);
  return c;
}

void ScriptForm::init_skin(const Variant& mask, const Variant& background) {
  Ref<ScriptForm> keep(this);
  ToolkitWindow* w = nullptr;
  try {
    w = &window();
  } catch (...) {
    return;
  }
  Ref<ToolkitWindow> keep_window(w);
  auto step = [](auto&& f) {
    try { f(); } catch (...) {}
  };
  step([&] { w->let(u"ScaleMode", Variant(int16_t{1})); });
  step([&] { if (singles_[0]) singles_[0]->set(u"Picture", mask); });
  step([&] { if (singles_[1]) singles_[1]->set(u"Picture", background); });
  step([&] { w->set(u"Picture", singles_[1]->get(u"Picture")); });
  // The window takes the background's size: the picture's size in HIMETRIC, as pixels, as twips.
  step([&] {
    Object* picture = to_object(background);
    auto twips = [](double himetric) { return Variant(static_cast<float>(std::lround(himetric * 96 / 2540.0) * 15)); };
    w->let(u"Height", twips(to_double(picture->get(u"Height"))));
    w->let(u"Width", twips(to_double(picture->get(u"Width"))));
  });
  step([&] { window_system().set_window_mask(w->handle(), to_object(mask)); });
  step([&] { w->let(u"ScaleMode", Variant(int16_t{3})); });
}

}  // namespace qz
