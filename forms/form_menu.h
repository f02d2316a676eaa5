// The run-time menu object and the window-style object of a script form, as far as the form
// and the engine use them: the owner window, the owning form's module number and the menu's
// name. Menu bars and style switches come with the visual components.
#pragma once
#include <cstdint>
#include <string>

#include "com/object.h"

namespace qz {

class FormMenu final : public NativeObject<FormMenu> {
 public:
  static void define(Members<FormMenu>& m);
  std::u16string type_name() const override { return u"clsMenu"; }
  int32_t hwnd = 0;        // iHwnd
  int32_t form_tag = 0;    // iFormTag
  std::u16string name;     // NameMenu
};

class FormStyle final : public NativeObject<FormStyle> {
 public:
  static void define(Members<FormStyle>& m);
  std::u16string type_name() const override { return u"clsFormStyle"; }
  int32_t hwnd = 0;  // pHwnd
};

}  // namespace qz
