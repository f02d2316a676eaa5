#include "forms/dynamic_controls.h"

#include <limits>
#include <map>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "com/str.h"
#include "forms/event_forwarding.h"
#include "script/script_control.h"

namespace qz {

namespace {

struct ProgId {
  std::u16string_view progid;
  std::u16string_view kind;
};
// The built-in kinds by the class names a script creates them by; the five components that
// have ProgIDs of their own answer to those as well.
constexpr ProgId kProgIds[] = {
    {u"Quazel.CommandButton", u"Command"}, {u"Quazel.Label", u"Label"},
    {u"Quazel.PictureBox", u"Pic"},        {u"Quazel.TextBox", u"Text"},
    {u"Quazel.ComboBox", u"Combo"},        {u"Quazel.CheckBox", u"Check"},
    {u"Quazel.OptionButton", u"COption"},  {u"Quazel.ListBox", u"List"},
    {u"Quazel.HScrollBar", u"HScroll"},    {u"Quazel.VScrollBar", u"VScroll"},
    {u"Quazel.Timer", u"CTimer"},          {u"Quazel.DriveListBox", u"CDrive"},
    {u"Quazel.DirListBox", u"CDir"},       {u"Quazel.FileListBox", u"CFile"},
    {u"Quazel.Shape", u"CShape"},          {u"Quazel.Line", u"CLine"},
    {u"Quazel.Image", u"CImage"},          {u"Quazel.Frame", u"Frame"},
    {u"Quazel.OLE", u"OLE"},               {u"MSWinsockLib.Winsock", u"Wsk"},
    {u"PicClip.PictureClip", u"PicClip"},  {u"Tolvex.SkinShape", u"SkinShape"},
    {u"SHDocVwCtl.WebBrowser", u"Web"},    {u"Tolvex.ProgressBar", u"ProgressBar"},
    {u"Tolvex.Tray", u"Tray"},
};

int32_t g_counter = 0;  // never reset, not even by the engine's reset

std::map<std::u16string, std::u16string>& licenses() {
  static auto* keys = new std::map<std::u16string, std::u16string>();
  return *keys;
}

// One parameter of an event, as Control_Event sees it: Value reads and writes the event's own
// argument.
class EventParameter final : public NativeObject<EventParameter> {
 public:
  static void define(Members<EventParameter>& m) {
    m.property(u"Value", [](EventParameter& p, Args) { return *p.value_; },
               [](EventParameter& p, Args, const Variant& v) { *p.value_ = v.deref(); });
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"EventParameter"; }
  explicit EventParameter(Variant* value) : value_(value) {}
  Variant* value_;
};

class EventParameters final : public NativeObject<EventParameters> {
 public:
  static void define(Members<EventParameters>& m) {
    m.getter(u"Count", [](EventParameters& p, Args) { return Variant(static_cast<int32_t>(p.items_.size())); });
    m.method(u"Item", [](EventParameters& p, Args a) {
      int32_t i = to_long(a[0]);
      if (i < 0 || static_cast<size_t>(i) >= p.items_.size()) raise(9);
      return Variant(static_cast<Object*>(p.items_[static_cast<size_t>(i)].get()));
    });
    m.default_member(u"Item");
  }
  std::u16string type_name() const override { return u"EventParameters"; }
  std::vector<Ref<EventParameter>> items_;
};

class EventInfo final : public NativeObject<EventInfo> {
 public:
  static void define(Members<EventInfo>& m) {
    m.getter(u"Name", [](EventInfo& e, Args) { return Variant(e.name_); });
    m.getter(u"EventParameters", [](EventInfo& e, Args) { return Variant(static_cast<Object*>(e.params_.get())); });
  }
  std::u16string type_name() const override { return u"EventInfo"; }
  EventInfo(std::u16string name, Variant* args, size_t count) : name_(std::move(name)) {
    params_ = make_ref<EventParameters>();
    for (size_t i = 0; i < count; ++i) params_->items_.push_back(make_ref<EventParameter>(&args[i]));
  }
  // The event's arguments end with the event: later reads see copies.
  void detach() {
    for (Ref<EventParameter>& p : params_->items_) {
      kept_.push_back(*p->value_);
    }
    for (size_t i = 0; i < kept_.size(); ++i) params_->items_[i]->value_ = &kept_[i];
  }

 private:
  std::u16string name_;
  Ref<EventParameters> params_;
  std::vector<Variant> kept_;
};

}  // namespace

std::u16string_view builtin_kind_of_progid(std::u16string_view progid) {
  for (const ProgId& p : kProgIds)
    if (iequals(p.progid, progid)) return p.kind;
  return {};
}

std::u16string next_dynamic_control_key() {
  if (g_counter == std::numeric_limits<int32_t>::max()) raise(6);
  ++g_counter;
  std::u16string key = u"dynctrl_";
  for (char c : std::to_string(g_counter)) key.push_back(static_cast<char16_t>(c));
  return key;
}

void add_control_license(std::u16string_view progid, std::u16string_view key) {
  licenses()[lower(progid)] = std::u16string(key);
}

WindowListener dynamic_control_listener(int32_t module, std::u16string name) {
  return [module, name](WindowEvent& e) {
    if (name.empty()) {
      Ref<EventInfo> info = make_ref<EventInfo>(std::u16string(e.name), e.args, e.count);
      Variant arg(static_cast<Object*>(info.get()));
      e.ran = forward_event(module, u"Control_Event", {&arg}, &e.result);
      info->detach();
      return;
    }
    if (e.count > 9) return;
    // Named procedures get copies: what they change does not go back to the control.
    try {
      ScriptControl* control = forms_script_control();
      ScriptModule* m = control && module > 0 ? control->module(static_cast<size_t>(module)) : nullptr;
      if (!m) return;
      Ref<ScriptModule> keep(m);
      std::vector<Variant> copies(e.args, e.args + e.count);
      std::vector<Variant> cells;
      for (Variant& v : copies) cells.push_back(Variant::by_ref(&v));
      e.result = m->run(name + u"_" + std::u16string(e.name), Args(cells));
      e.ran = true;
    } catch (...) {
      // a missing procedure or an error inside it: the control's event goes on unhandled
    }
  };
}

}  // namespace qz
