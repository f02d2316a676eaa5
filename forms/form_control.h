// One element of a script form's control array: a child window of the form that holds the
// control's properties in its property bag, answers to the members every control has (Name,
// Index, geometry in twips, Visible, Enabled, Tag, SetFocus, Move, ZOrder ...) and to those of
// its kind, and forwards its window's events to the form's script module.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "com/object.h"
#include "forms/control_kinds.h"
#include "platform/window/window_system.h"

namespace qz {

class ScriptForm;

class FormControl final : public Object {
 public:
  // A new hidden control on the form's window; it starts with the settings of `model` (the
  // array's element 0) or, without one, with the kind's design-time values.
  FormControl(ScriptForm* form, const ControlKind& kind, int16_t index, WindowHandle form_window,
              const FormControl* model);
  ~FormControl() override;

  DispId find_member(std::u16string_view name) override;
  Variant invoke(DispId id, CallKind kind, Args args) override;
  std::u16string type_name() const override { return std::u16string(kind_.type_name); }
  std::u16string member_name(DispId id) const override;

  const ControlKind& kind() const { return kind_; }
  int16_t index() const { return index_; }
  WindowHandle window() const { return window_; }
  bool unloaded() const { return window_ == 0; }
  // Destroys the window (and its timer); members then raise "object was unloaded".
  void unload();

 private:
  Variant get_member(DispId id, Args args);
  void let_member(DispId id, Args indices, const Variant& value);
  void on_window_event(WindowEvent& e);
  void update_timer();
  void type_character(int32_t ch);
  bool has_list() const;
  int32_t form_tag() const;

  ScriptForm* form_;   // the form owns this control; cleared when it unloads it
  const ControlKind& kind_;
  int16_t index_;
  WindowHandle window_ = 0;
  std::vector<std::u16string> items_;  // list boxes and combo boxes
  int32_t list_index_ = -1;
};

}  // namespace qz
