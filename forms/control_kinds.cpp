#include "forms/control_kinds.h"

namespace qz {

namespace {

// Properties every visible control keeps besides geometry, Visible, Enabled and Tag.
#define QZ_LOOKS {u"BackColor", VT::Long}, {u"ForeColor", VT::Long}, {u"FontName", VT::String}, \
    {u"FontSize", VT::Single}, {u"FontBold", VT::Boolean}, {u"FontItalic", VT::Boolean},         \
    {u"ToolTipText", VT::String}, {u"MousePointer", VT::Integer}, {u"TabIndex", VT::Integer},    \
    {u"TabStop", VT::Boolean}, {u"BorderStyle", VT::Integer}, {u"Appearance", VT::Integer}
#define QZ_TEXTBOX QZ_LOOKS, {u"Text", VT::String}, {u"Alignment", VT::Integer}, {u"Locked", VT::Boolean}, \
    {u"MaxLength", VT::Long}, {u"PasswordChar", VT::String}, {u"SelStart", VT::Long}, {u"SelLength", VT::Long}
#define QZ_LIST QZ_LOOKS, {u"Text", VT::String}, {u"Sorted", VT::Boolean}, {u"Style", VT::Integer}
#define QZ_SCROLL QZ_LOOKS, {u"Value", VT::Integer}, {u"Min", VT::Integer}, {u"Max", VT::Integer}, \
    {u"SmallChange", VT::Integer}, {u"LargeChange", VT::Integer}
#define QZ_PICTURE QZ_LOOKS, {u"Picture", VT::Variant}, {u"AutoSize", VT::Boolean}, {u"ScaleMode", VT::Integer}, \
    {u"AutoRedraw", VT::Boolean}

using E = WindowEventKind;
const std::vector<E> kClickMouse = {E::Click, E::DblClick, E::MouseDown, E::MouseMove, E::MouseUp};
const std::vector<E> kTextBox = {E::Click, E::DblClick, E::KeyDown, E::KeyPress, E::KeyUp, E::MouseDown, E::MouseUp};
const std::vector<E> kComboBox = {E::Click, E::KeyDown, E::KeyUp};
const std::vector<E> kButtonLike = {E::Click, E::KeyPress, E::MouseDown, E::MouseUp};
const std::vector<E> kKeysOnly = {E::KeyDown, E::KeyUp};

std::vector<ControlKind> make_kinds() {
  std::vector<ControlKind> kinds = {
      {1, u"command", u"Command", u"Command", u"CommandButton", true, u"Value",
       {QZ_LOOKS, {u"Caption", VT::String}, {u"Value", VT::Boolean}, {u"Default", VT::Boolean},
        {u"Cancel", VT::Boolean}, {u"Style", VT::Integer}, {u"Picture", VT::Variant}}},
      {2, u"label", u"Label", u"Label", u"Label", true, u"Caption",
       {QZ_LOOKS, {u"Caption", VT::String}, {u"Alignment", VT::Integer}, {u"AutoSize", VT::Boolean},
        {u"BackStyle", VT::Integer}, {u"WordWrap", VT::Boolean}}},
      {3, u"pic", u"Pic", u"Pic", u"PictureBox", true, u"Picture", {QZ_PICTURE}},
      {4, u"text", u"Text", u"Text", u"TextBox", true, u"Text", {QZ_TEXTBOX}},
      {5, u"mtext", u"MText", u"MText", u"TextBox", true, u"Text", {QZ_TEXTBOX}},
      {6, u"textbox", u"TextBox", u"TextBox", u"TextBox", true, u"Text", {QZ_TEXTBOX}},
      {7, u"combo", u"Combo", u"Combo", u"ComboBox", true, u"Text", {QZ_LIST}},
      {8, u"lcombo", u"LCombo", u"LCombo", u"ComboBox", true, u"Text", {QZ_LIST}},
      {9, u"check", u"Check", u"Check", u"CheckBox", true, u"Value",
       {QZ_LOOKS, {u"Caption", VT::String}, {u"Value", VT::Integer}, {u"Alignment", VT::Integer}}},
      {10, u"coption", u"COption", u"cOption", u"OptionButton", true, u"Value",
       {QZ_LOOKS, {u"Caption", VT::String}, {u"Value", VT::Boolean}, {u"Alignment", VT::Integer}}},
      {11, u"list", u"List", u"List", u"ListBox", true, u"Text", {QZ_LIST}},
      {12, u"hscroll", u"HScroll", u"HScroll", u"HScrollBar", true, u"Value", {QZ_SCROLL}},
      {13, u"vscroll", u"VScroll", u"VScroll", u"VScrollBar", true, u"Value", {QZ_SCROLL}},
      {14, u"ctimer", u"CTimer", u"cTimer", u"Timer", false, u"Enabled", {}},
      {15, u"cdrive", u"CDrive", u"cDrive", u"DriveListBox", true, u"Drive", {QZ_LOOKS, {u"Drive", VT::String}}},
      {16, u"cdir", u"CDir", u"cDir", u"DirListBox", true, u"Path", {QZ_LOOKS, {u"Path", VT::String}}},
      {17, u"cfile", u"CFile", u"cFile", u"FileListBox", true, u"FileName",
       {QZ_LOOKS, {u"Path", VT::String}, {u"Pattern", VT::String}, {u"FileName", VT::String}}},
      {18, u"cshape", u"CShape", u"", u"Shape", true, u"Shape",
       {{u"Shape", VT::Integer}, {u"BackColor", VT::Long}, {u"BackStyle", VT::Integer}, {u"BorderColor", VT::Long},
        {u"BorderWidth", VT::Integer}, {u"FillColor", VT::Long}, {u"FillStyle", VT::Integer}}},
      {19, u"cline", u"CLine", u"", u"Line", true, u"Visible",
       {{u"X1", VT::Single}, {u"Y1", VT::Single}, {u"X2", VT::Single}, {u"Y2", VT::Single},
        {u"BorderColor", VT::Long}, {u"BorderWidth", VT::Integer}}},
      {20, u"cimage", u"CImage", u"cImage", u"Image", true, u"Picture",
       {{u"Picture", VT::Variant}, {u"Stretch", VT::Boolean}, {u"BorderStyle", VT::Integer}, {u"ToolTipText", VT::String}}},
      {21, u"wsk", u"Wsk", u"Wsk", u"Winsock", false, u"",
       {{u"RemoteHost", VT::String}, {u"RemotePort", VT::Long}, {u"LocalPort", VT::Long}, {u"Protocol", VT::Long}}},
      {22, u"picclip", u"PicClip", u"", u"PictureClip", false, u"",
       {{u"Picture", VT::Variant}, {u"Rows", VT::Integer}, {u"Cols", VT::Integer}}},
      {23, u"skinshape", u"SkinShape", u"SkinShape", u"SkinShape", true, u"", {QZ_LOOKS, {u"Caption", VT::String}}},
      {24, u"web", u"Web", u"Web", u"WebBrowser", true, u"", {{u"LocationURL", VT::String}}},
      {25, u"ole", u"OLE", u"OLE", u"OLE", true, u"", {QZ_LOOKS, {u"SourceDoc", VT::String}, {u"Class", VT::String}}},
      {26, u"frame", u"Frame", u"Frame", u"Frame", true, u"Caption", {QZ_LOOKS, {u"Caption", VT::String}}},
      {27, u"progressbar", u"ProgressBar", u"ProgressBar", u"ProgressBar", true, u"Value",
       {QZ_LOOKS, {u"Value", VT::Long}, {u"Min", VT::Long}, {u"Max", VT::Long}}},
  };
  // Which window events each kind forwards (the rest have no procedure of their own).
  const std::vector<std::vector<E>> forwarded = {
      {E::Click, E::KeyPress, E::MouseDown, E::MouseMove, E::MouseUp},           // command
      kClickMouse,                                                                // label
      {E::Click, E::DblClick, E::KeyDown, E::KeyPress, E::KeyUp, E::MouseDown, E::MouseMove, E::MouseUp,
       E::Paint, E::Resize},                                                      // pic
      kTextBox, kTextBox, kTextBox,                                               // text, mtext, textbox
      kComboBox, kComboBox,                                                       // combo, lcombo
      kButtonLike, kButtonLike,                                                   // check, coption
      {E::Click, E::DblClick, E::KeyDown, E::KeyUp},                              // list
      kKeysOnly, kKeysOnly,                                                       // hscroll, vscroll
      {E::Timer},                                                                 // ctimer
      kKeysOnly,                                                                  // cdrive
      {E::Click, E::KeyDown, E::KeyUp},                                           // cdir
      {E::Click, E::DblClick, E::KeyPress},                                       // cfile
      {}, {},                                                                     // cshape, cline
      kClickMouse,                                                                // cimage
      {}, {},                                                                     // wsk, picclip
      {E::Click, E::DblClick, E::KeyDown, E::KeyUp, E::MouseDown, E::MouseMove, E::MouseUp, E::Paint},  // skinshape
      {},                                                                         // web
      {E::Click, E::DblClick, E::GotFocus, E::KeyDown, E::KeyPress, E::KeyUp, E::LostFocus, E::MouseDown,
       E::MouseMove, E::MouseUp, E::Resize},                                      // ole
      kClickMouse,                                                                // frame
      {E::Click, E::DblClick, E::KeyPress, E::MouseDown, E::MouseMove, E::MouseUp},  // progressbar
  };
  for (size_t i = 0; i < kinds.size(); ++i) kinds[i].forwarded = forwarded[i];
  return kinds;
}

}  // namespace

bool ControlKind::forwards(WindowEventKind e) const {
  for (WindowEventKind f : forwarded)
    if (f == e) return true;
  return false;
}

std::u16string_view change_event(const ControlKind& kind, std::u16string_view name) {
  std::u16string_view k = kind.kind_name;
  std::u16string n = lower(name);
  if (n == u"text" && (k == u"text" || k == u"mtext" || k == u"textbox" || k == u"combo" || k == u"lcombo"))
    return u"Change";
  if (n == u"value" && (k == u"hscroll" || k == u"vscroll")) return u"Change";
  if ((n == u"drive" && k == u"cdrive") || (n == u"path" && k == u"cdir")) return u"Change";
  if (k == u"cfile" && n == u"path") return u"PathChange";
  if (k == u"cfile" && n == u"pattern") return u"PatternChange";
  return {};
}

const std::vector<ControlKind>& control_kinds() {
  static const std::vector<ControlKind>* kinds = new std::vector<ControlKind>(make_kinds());
  return *kinds;
}

const ControlKind* find_control_kind(std::u16string_view kind_name) {
  for (const ControlKind& k : control_kinds())
    if (lower(kind_name) == k.kind_name) return &k;
  return nullptr;
}

void control_design_values(const ControlKind& kind, std::vector<std::pair<std::u16string_view, Variant>>& out) {
  std::u16string_view n = kind.kind_name;
  if (n == u"label") out.emplace_back(u"Caption", Variant(u"label"));
  else if (n == u"combo") out.emplace_back(u"Text", Variant(u"Combo"));
  else if (n == u"lcombo") out.emplace_back(u"Style", Variant(int16_t{2}));
  else if (n == u"check") out.emplace_back(u"Caption", Variant(u"Check"));
  else if (n == u"coption") out.emplace_back(u"Caption", Variant(u"Option"));
  else if (n == u"frame") out.emplace_back(u"Caption", Variant(u"Frame1"));
  else if (n == u"hscroll" || n == u"vscroll") {
    out.emplace_back(u"Max", Variant(int16_t{32767}));
    out.emplace_back(u"SmallChange", Variant(int16_t{1}));
    out.emplace_back(u"LargeChange", Variant(int16_t{1}));
  } else if (n == u"progressbar") out.emplace_back(u"Max", Variant(int32_t{100}));
}

}  // namespace qz
