// clsFormStyle, the form's Style object: true/false switches for parts of the form window's
// frame (title bar, taskbar button, sizing border, window menu, minimise and maximise buttons,
// tool-window look, the Close command). A switch is stored and applied to the window `pHwnd`
// when it is set; reading one gives the value last set (or its default), never the window's.
#pragma once
#include <cstdint>

#include "com/object.h"
#include "platform/window/window_styles.h"

namespace qz {

class FormStyle final : public NativeObject<FormStyle> {
 public:
  static void define(Members<FormStyle>& m);
  std::u16string type_name() const override { return u"clsFormStyle"; }
  int32_t hwnd = 0;  // pHwnd

 private:
  void set(WindowStylePart part, bool on);
  static constexpr int kParts = 8;
  // By WindowStylePart: ToolWindow, TitleBar, TaskBar, SizeBorder, ControlBox, Min, Max, Close.
  bool values_[kParts] = {false, true, true, false, true, true, false, true};
};

}  // namespace qz
