// A control array of a script form: its elements by index (element 0 exists from the form's
// load; others are loaded and unloaded by index). The script reaches an element as
// `Command(3)`; Count, LBound, UBound and For Each go over the loaded elements. Each element is
// a window of the toolkit; its events run the form's procedures for this array's prefix.
#pragma once
#include <cstdint>
#include <map>

#include "com/object.h"
#include "forms/control_kinds.h"
#include "platform/window/window_system.h"

namespace qz {

class ScriptForm;

class ControlArray final : public NativeObject<ControlArray> {
 public:
  static void define(Members<ControlArray>& m);
  std::u16string type_name() const override { return u"Object"; }
  Ref<Enumerator> enumerate() override;

  ControlArray(ScriptForm* form, const ControlKind& kind, ToolkitWindow* form_window);
  ~ControlArray() override;

  const ControlKind& kind() const { return kind_; }
  // Loads element `index` with element 0's settings, hidden. False (nothing loaded) for a
  // negative index or one already loaded.
  bool load(int16_t index);
  // nullptr when not loaded.
  ToolkitWindow* element(int16_t index) const;
  // Unloads element `index`; element 0 stays. False when nothing was unloaded.
  bool unload(int16_t index);
  // Unloads every element, element 0 too (the form's window goes).
  void unload_all();
  const std::map<int16_t, Ref<ToolkitWindow>>& elements() const { return elements_; }

 private:
  Ref<ToolkitWindow> make_element(int16_t index, ToolkitWindow* model);

  ScriptForm* form_;
  const ControlKind& kind_;
  Ref<ToolkitWindow> form_window_;
  std::map<int16_t, Ref<ToolkitWindow>> elements_;
};

}  // namespace qz
