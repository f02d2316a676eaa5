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

namespace qz {

namespace {

std::vector<Ref<ScriptForm>>& loaded_forms() {
  static auto* forms = new std::vector<Ref<ScriptForm>>();
  return *forms;
}

int32_t to_twips(const Variant& v) {
  double d = to_double(v);
  if (!(std::fabs(d) < 2147483647.0)) raise(6);  // Overflow
  return static_cast<int32_t>(std::lround(d));
}

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

  // The platform form's own members.
  m.method(u"Show", [](ScriptForm& f, Args a) {
    f.show(a.has(0) && to_long(a[0]) != 0);
    return Variant();
  });
  m.method(u"Hide", [](ScriptForm& f, Args) { f.hide(); return Variant(); });
  m.method(u"Refresh", [](ScriptForm& f, Args) { window_system().invalidate(f.window()); return Variant(); });
  m.property(u"Visible", [](ScriptForm& f, Args) { return Variant(f.window_ != 0 && window_system().visible(f.window_)); },
             [](ScriptForm& f, Args, const Variant& v) {
               if (to_bool(v)) f.show(false);
               else f.hide();
             });
  m.property(u"Enabled", [](ScriptForm& f, Args) { return Variant(window_system().enabled(f.window())); },
             [](ScriptForm& f, Args, const Variant& v) { window_system().enable(f.window(), to_bool(v)); });
  m.property(u"Caption", [](ScriptForm& f, Args) { return Variant(to_str(window_system().property(f.window(), u"Caption"))); },
             [](ScriptForm& f, Args, const Variant& v) { window_system().set_property(f.window(), u"Caption", Variant(to_str(v))); });
  m.getter(u"hWnd", [](ScriptForm& f, Args) { return Variant(int32_t{f.window()}); });
  struct Edge { std::u16string_view name; int32_t WindowRect::*field; };
  for (Edge e : {Edge{u"Left", &WindowRect::left}, Edge{u"Top", &WindowRect::top},
                 Edge{u"Width", &WindowRect::width}, Edge{u"Height", &WindowRect::height}}) {
    auto field = e.field;
    m.property(e.name, [field](ScriptForm& f, Args) { return Variant(static_cast<float>(window_system().rect(f.window()).*field)); },
               [field](ScriptForm& f, Args, const Variant& v) {
                 WindowRect r = window_system().rect(f.window());
                 r.*field = to_twips(v);
                 if (r.width < 0 || r.height < 0) raise(380);  // Invalid property value
                 window_system().move(f.window(), r);
               });
  }
  const char16_t* singles[] = {u"picMask", u"picFon", u"icoInet"};
  for (int i = 0; i < 3; ++i) {
    m.getter(singles[i], [i](ScriptForm& f, Args) {
      f.load();
      return Variant(static_cast<Object*>(f.singles_[i].get()));
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
  for (Ref<FormControl>& single : singles_)
    if (single) single->unload();
  if (window_) window_system().destroy(window_);
}

FormMenu& ScriptForm::menu() {
  if (!menu_) menu_ = make_ref<FormMenu>();
  return *menu_;
}

WindowHandle ScriptForm::window() {
  load();
  return window_;
}

ControlArray& ScriptForm::array(const ControlKind& kind) {
  load();
  return *arrays_[static_cast<size_t>(kind.number - 1)];
}

void ScriptForm::load() {
  if (window_) return;
  WindowSystem& ws = window_system();
  window_ = ws.create(0, u"frmForm");
  ws.move(window_, rect_);
  ws.set_property(window_, u"Caption", Variant(caption_));
  ws.set_listener(window_, [this](WindowEvent& e) { on_window_event(e); });
  for (const ControlKind& k : control_kinds()) arrays_.push_back(make_ref<ControlArray>(this, k, window_));
  for (Ref<FormControl>& single : singles_)
    single = make_ref<FormControl>(nullptr, *find_control_kind(u"pic"), int16_t{0}, window_, nullptr);
  if (!style_) style_ = make_ref<FormStyle>();
  style_->hwnd = window_;
  menu().hwnd = window_;
  loaded_forms().push_back(Ref<ScriptForm>(this));
}

void ScriptForm::unload_window() {
  if (!window_) return;
  Ref<ScriptForm> keep(this);
  WindowSystem& ws = window_system();
  form_loaded_ = false;
  caption_ = to_u16(ws.property(window_, u"Caption"));
  rect_ = ws.rect(window_);
  std::vector<Ref<ControlArray>> arrays;
  arrays.swap(arrays_);
  for (Ref<ControlArray>& a : arrays) a->unload_all();
  for (Ref<FormControl>& single : singles_) {
    if (single) single->unload();
    single = Ref<FormControl>();
  }
  ws.destroy(window_);
  window_ = 0;
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
  if (window_) run(u"Form_Activate");
}

void ScriptForm::show(bool modal) {
  Ref<ScriptForm> keep(this);
  load();
  WindowSystem& ws = window_system();
  ws.show(window_, true);  // its Shown event activates the form
  if (!modal) return;
  // Modal: the loop runs (timers, other forms' events) until this form is hidden or gone.
  EventLoop& loop = event_loop();
  while (window_ && ws.visible(window_) && !loop.quitting()) {
    if (loop.do_events() == 0) ::usleep(2000);
  }
}

void ScriptForm::show2(bool modal) {
  if (form_loaded_) return;
  Ref<ScriptForm> keep(this);
  form_loaded_ = true;
  run(u"Form_Load");
  show(modal);
}

void ScriptForm::hide() {
  if (window_) window_system().show(window_, false);
}

bool ScriptForm::unload_request(bool forced) {
  if (!window_) return true;
  Ref<ScriptForm> keep(this);
  if (!forced) {
    int16_t code = 0;
    Variant result;
    if (run(u"Form_Unload", {}, &result)) {
      try {
        code = to_integer(result);
      } catch (...) {
        code = 0;
      }
    }
    if (!window_) return true;  // the procedure unloaded the form itself
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
    Ref<FormControl> element(a.element(index));
    if (!element) return;
    if (kind->shown_by_add) {
      try { element->let(u"Visible", Variant(true)); } catch (...) {}
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      if (element->unloaded()) return;
      std::u16string line;
      try { line = to_u16(lines[i]); } catch (...) { continue; }
      apply_property_line(*element, line, eval_in_global_scope);
    }
  } catch (...) {
  }
}

void ScriptForm::remove(std::u16string_view kind_name, int16_t index) {
  const ControlKind* kind = find_control_kind(kind_name);
  if (!kind || !window_) return;  // an unloaded form has no loaded elements
  try {
    arrays_[static_cast<size_t>(kind->number - 1)]->unload(index);
  } catch (...) {
  }
}

void ScriptForm::on_window_event(WindowEvent& e) {
  Ref<ScriptForm> keep(this);
  auto key_args = [&](std::u16string_view name) {
    Variant code(static_cast<int16_t>(e.code)), shift(static_cast<int16_t>(e.shift));
    run(name, {&code, &shift});
    try { e.code = to_integer(code); } catch (...) {}
  };
  auto mouse_args = [&](std::u16string_view name) {
    Variant button(static_cast<int16_t>(e.button)), shift(static_cast<int16_t>(e.shift)), x(e.x), y(e.y);
    run(name, {&button, &shift, &x, &y});
  };
  switch (e.kind) {
    case WindowEventKind::Close:
      e.cancel = unload_request() ? 0 : 1;
      break;
    case WindowEventKind::Click: run(u"Form_Click"); break;
    case WindowEventKind::DblClick: run(u"Form_DblClick"); break;
    case WindowEventKind::GotFocus: run(u"Form_GotFocus"); break;
    case WindowEventKind::LostFocus: run(u"Form_LostFocus"); break;
    case WindowEventKind::Resize: run(u"Form_Resize"); break;
    case WindowEventKind::Shown: activate(); break;
    case WindowEventKind::Paint:
      menu().call(u"RedrawMenu");
      run(u"Form_Paint");
      break;
    case WindowEventKind::KeyDown: key_args(u"Form_KeyDown"); break;
    case WindowEventKind::KeyUp: key_args(u"Form_KeyUp"); break;
    case WindowEventKind::KeyPress: {
      Variant ascii(static_cast<int16_t>(e.code));
      run(u"Form_KeyPress", {&ascii});
      try { e.code = to_integer(ascii); } catch (...) {}
      break;
    }
    case WindowEventKind::MouseDown: mouse_args(u"Form_MouseDown"); break;
    case WindowEventKind::MouseUp: mouse_args(u"Form_MouseUp"); break;
    case WindowEventKind::MouseMove: mouse_args(u"Form_MouseMove"); break;
    default: break;
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
