// frmForm: the form behind every <#Form> section of a script. The engine creates it and hands
// it its module number (formTag), its name and its module's code object; the window loads on
// the first use of a control, a window property or a show operation, with element 0 of each of
// the 27 control arrays hidden on it. Form_Load runs once per load (from Show2 or the first
// activation), Form_Unload decides an unload (0 unloads, 2 hides, anything else refuses), and
// every event of the window runs Form_<Event> in the form's module.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "com/object.h"
#include "forms/control_array.h"
#include "forms/form_menu.h"
#include "forms/form_style.h"
#include "platform/window/window_system.h"

namespace qz {

class ScriptForm final : public NativeObject<ScriptForm> {
 public:
  static void define(Members<ScriptForm>& m);
  std::u16string type_name() const override { return u"frmForm"; }
  // The form's own members first, then those of its window (Caption, Left, Line, Print ...),
  // which loads the window as the platform loads a form on the first use of a property.
  DispId find_member(std::u16string_view name) override;
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string member_name(DispId id) const override;
  const void* member_key() const override { return nullptr; }

  ScriptForm();
  ~ScriptForm() override;

  int32_t form_tag() const { return form_tag_; }
  void set_form_tag(int32_t tag) { form_tag_ = tag; }
  const std::u16string& form_name() const { return form_name_; }
  void set_form_name(std::u16string name) { form_name_ = std::move(name); }
  void set_code(Ref<Object> code) { code_ = std::move(code); }
  FormMenu& menu();

  // The window, loading the form first when it is not loaded.
  ToolkitWindow& window();
  bool window_loaded() const { return window_ && !window_->destroyed(); }
  bool script_loaded() const { return form_loaded_; }
  ControlArray& array(const ControlKind& kind);
  // Whether the _Over/_Out procedures of a kind run (NoOverOutPic and its kin).
  bool hover_enabled(std::u16string_view kind) const;

  // The platform's show: loads, makes visible, activates (Form_Load on the first activation of
  // a load, then Form_Activate). Modal: returns when the form is hidden or unloaded.
  void show(bool modal);
  // Form_Load and then show, unless the script part is loaded already (then nothing).
  void show2(bool modal);
  void hide();
  // The unload request: Form_Unload decides, unless `forced` (the engine's reset), which
  // unloads without asking. True when the form is unloaded afterwards.
  bool unload_request(bool forced = false);

  // The factory: loads element `index` of the kind's array (hidden), shows it unless the kind
  // has no visible appearance, applies the property lines. Nothing for an unknown kind.
  void add(std::u16string_view kind_name, int16_t index, Args lines);
  void remove(std::u16string_view kind_name, int16_t index);

  // AttachMsg / DetachMsg: -1 is the form's own window.
  void attach_message(int32_t message, int32_t window);
  void detach_message(int32_t message, int32_t window);
  // A subscribed message arrives: ISubclass_WindowProc runs with copies of the four values,
  // then, for a menu command (WM_COMMAND with lParam 0, as the procedure left them), the menu
  // procedures. Returns the procedure's result (0 when it did not run).
  int32_t window_proc(int32_t hwnd, int32_t message, int32_t wparam, int32_t lparam);
  // CreateControl for the built-in kinds: raises 429 for a ProgID no class answers to.
  Ref<ToolkitWindow> create_control(std::u16string_view progid, std::u16string name);
  // InitSkin: the window takes the background's size and picture and the mask's shape.
  void init_skin(const Variant& mask, const Variant& background);

 private:
  void load();
  void unload_window();
  void activate();
  void on_window_event(WindowEvent& e);
  WindowHandle message_window(int32_t window);
  bool run(std::u16string_view procedure, std::initializer_list<Variant*> args = {}, Variant* result = nullptr);

  Ref<FormStyle> style_;
  Ref<FormMenu> menu_;
  Variant code_ = Variant::nothing();
  bool key_preview_ = false;
  bool no_move_mouse_ = false, no_over_out_pic_ = false, no_over_out_frame_ = false, no_over_out_command_ = false;
  int32_t form_tag_ = 0;
  std::u16string form_name_;
  int32_t gdip_[3] = {0, 0, 0};
  bool form_loaded_ = false;
  uint32_t unloads_ = 0;  // counts real unloads: a Show2 whose Form_Load unloaded the form stops

  Ref<ToolkitWindow> window_;
  std::vector<Ref<ControlArray>> arrays_;  // by kind number - 1, while loaded
  // The single picture boxes picMask, picFon and icoInet, while loaded; they forward nothing.
  Ref<ToolkitWindow> singles_[3];
  // The form's one notification-area icon (Tray), while loaded; its events run Tray_<Event>.
  Ref<ToolkitWindow> tray_;
  // Controls made by CreateControl, by key, while loaded.
  std::vector<std::pair<std::u16string, Ref<ToolkitWindow>>> created_;
  // Window properties kept across unloads, as the form's design-time values.
  std::u16string caption_ = u"Form";
};

// The engine's hand-over of a new form: its module number (formTag and Menu.iFormTag) and the
// name it is registered under (formName).
Ref<ScriptForm> create_script_form(int32_t module, std::u16string name);

// Every form whose window is loaded, in load order.
std::vector<Ref<ScriptForm>> open_script_forms();
// The engine's reset: unloads every loaded form, its controls first, without asking the script.
void unload_all_script_forms();

}  // namespace qz
