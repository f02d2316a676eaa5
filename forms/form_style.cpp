#include "forms/form_style.h"

#include "com/convert.h"
#include "platform/window/window_system.h"

namespace qz {

void FormStyle::set(WindowStylePart part, bool on) {
  values_[static_cast<int>(part)] = on;
  // The window calls fail quietly on a handle that names no window: the value stays stored.
  if (hwnd == 0 || !window_system_loaded()) return;
  try {
    window_system().set_window_style(hwnd, part, on);
  } catch (...) {
  }
}

void FormStyle::define(Members<FormStyle>& m) {
  m.property(u"pHwnd", [](FormStyle& o, Args) { return Variant(o.hwnd); },
             [](FormStyle& o, Args, const Variant& v) { o.hwnd = to_long(v); });
  struct Switch {
    std::u16string_view name;
    WindowStylePart part;
  };
  for (Switch s : {Switch{u"CloseButton", WindowStylePart::CloseButton}, Switch{u"ToolWindow", WindowStylePart::ToolWindow},
                   Switch{u"TitleBar", WindowStylePart::TitleBar}, Switch{u"TaskBar", WindowStylePart::TaskBar},
                   Switch{u"SizeBorder", WindowStylePart::SizeBorder}, Switch{u"ControlBox", WindowStylePart::ControlBox},
                   Switch{u"MinButton", WindowStylePart::MinButton}, Switch{u"MaxButton", WindowStylePart::MaxButton}}) {
    WindowStylePart part = s.part;
    m.property(s.name, [part](FormStyle& o, Args) { return Variant(o.values_[static_cast<int>(part)]); },
               [part](FormStyle& o, Args, const Variant& v) { o.set(part, to_bool(v)); });
  }
}

}  // namespace qz
