#include "forms/control_kinds.h"

#include "com/str.h"

namespace qz {

const std::vector<ControlKind>& control_kinds() {
  static const std::vector<ControlKind> kinds = {
      {1, u"command", u"Command", u"Command", true},
      {2, u"label", u"Label", u"Label", true},
      {3, u"pic", u"Pic", u"Pic", true},
      {4, u"text", u"Text", u"Text", true},
      {5, u"mtext", u"MText", u"MText", true},
      {6, u"textbox", u"TextBox", u"TextBox", true},
      {7, u"combo", u"Combo", u"Combo", true},
      {8, u"lcombo", u"LCombo", u"LCombo", true},
      {9, u"check", u"Check", u"Check", true},
      {10, u"coption", u"COption", u"cOption", true},
      {11, u"list", u"List", u"List", true},
      {12, u"hscroll", u"HScroll", u"HScroll", true},
      {13, u"vscroll", u"VScroll", u"VScroll", true},
      {14, u"ctimer", u"CTimer", u"cTimer", false},
      {15, u"cdrive", u"CDrive", u"cDrive", true},
      {16, u"cdir", u"CDir", u"cDir", true},
      {17, u"cfile", u"CFile", u"cFile", true},
      {18, u"cshape", u"CShape", u"", true},
      {19, u"cline", u"CLine", u"", true},
      {20, u"cimage", u"CImage", u"cImage", true},
      {21, u"wsk", u"Wsk", u"Wsk", false},
      {22, u"picclip", u"PicClip", u"", false},
      {23, u"skinshape", u"SkinShape", u"SkinShape", true},
      {24, u"web", u"Web", u"Web", true},
      {25, u"ole", u"OLE", u"OLE", true},
      {26, u"frame", u"Frame", u"Frame", true},
      {27, u"progressbar", u"ProgressBar", u"ProgressBar", true},
  };
  return kinds;
}

const ControlKind* find_control_kind(std::u16string_view kind_name) {
  for (const ControlKind& k : control_kinds())
    if (iequals(k.kind_name, kind_name)) return &k;
  return nullptr;
}

}  // namespace qz
