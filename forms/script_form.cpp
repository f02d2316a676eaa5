#include "forms/script_form.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "com/convert.h"
#include "com/error.h"
#include "forms/event_forwarding.h"
#include "forms/form_controls.h"
#include "forms/property_lines.h"
#include "platform/event_loop.h"
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
  return control->eval(expression);
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
  m.getter(u"Controls", [](ScriptForm& f, Args) {
    f.load();
    std::vector<Ref<Object>> controls, arrays;
    for (Ref<ControlArray>& a : f.arrays_) {
      arrays.emplace_back(a.get());
      for (auto& [index, c] : a->elements()) controls.emplace_back(c.get());
    }
    return Variant(make_ref<FormControls>(std::move(controls), std::move(arrays)));
  });
  for (const ControlKind& k : control_kinds()) {
    const ControlKind* kind = &k;
    m.getter(k.array_name, [kind](ScriptForm& f, Args) { return Variant(static_cast<Object*>(&f.array(*kind))); });
  }
}

ScriptForm::ScriptForm() = default;

ScriptForm::~ScriptForm() {
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
  if (!style_) style_ = make_ref<FormStyle>();
  style_->hwnd = window_->handle();
  menu().hwnd = window_->handle();
  // The browser element stops whatever it was told at design time.
  if (ToolkitWindow* web = arrays_[23]->element(0)) {
    if (web->find_member(u"Stop") != kDispUnknown) web->call(u"Stop");
  }
  loaded_forms().push_back(Ref<ScriptForm>(this));
}

void ScriptForm::unload_window() {
  if (!window_loaded()) return;
  Ref<ScriptForm> keep(this);
  form_loaded_ = false;
  ++unloads_;
  std::vector<Ref<ControlArray>> arrays;
  arrays.swap(arrays_);
  for (Ref<ControlArray>& a : arrays) a->unload_all();
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
}

}  // namespace qz
