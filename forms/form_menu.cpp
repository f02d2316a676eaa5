#include "forms/form_menu.h"

#include "com/convert.h"

namespace qz {

void FormMenu::define(Members<FormMenu>& m) {
  m.property(u"iHwnd", [](FormMenu& o, Args) { return Variant(o.hwnd); },
             [](FormMenu& o, Args, const Variant& v) { o.hwnd = to_long(v); });
  m.property(u"iFormTag", [](FormMenu& o, Args) { return Variant(o.form_tag); },
             [](FormMenu& o, Args, const Variant& v) { o.form_tag = to_long(v); });
  m.property(u"NameMenu", [](FormMenu& o, Args) { return Variant(o.name); },
             [](FormMenu& o, Args, const Variant& v) { o.name = to_u16(v); });
  m.method(u"RedrawMenu", [](FormMenu&, Args) { return Variant(); });
}

void FormStyle::define(Members<FormStyle>& m) {
  m.property(u"pHwnd", [](FormStyle& o, Args) { return Variant(o.hwnd); },
             [](FormStyle& o, Args, const Variant& v) { o.hwnd = to_long(v); });
}

}  // namespace qz
