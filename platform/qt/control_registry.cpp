#include "platform/qt/control_registry.h"

#include "com/str.h"

namespace qz {

namespace {
struct Entry {
  std::u16string_view kind;
  ControlMaker make;
};
const Entry kMakers[] = {
    {u"Command", make_command_button},       {u"Label", make_label},
    {u"Text", make_text_box},                {u"MText", make_text_box},
    {u"TextBox", make_text_box},             {u"Check", make_check_box},
    {u"COption", make_option_button},        {u"Frame", make_frame},
    {u"List", make_list_box},                {u"Combo", make_combo_box},
    {u"LCombo", make_combo_box},             {u"HScroll", make_scroll_bar},
    {u"VScroll", make_scroll_bar},           {u"CDrive", make_drive_list},
    {u"CDir", make_dir_list},                {u"CFile", make_file_list},
    {u"Pic", make_picture_box},              {u"CImage", make_image_control},
    {u"CShape", make_shape_control},         {u"CLine", make_line_control},
    {u"CTimer", make_timer_control},         {u"OLE", make_ole_container},
    {u"PicClip", make_picture_clip},         {u"ProgressBar", make_progress_bar},
    {u"SkinShape", make_skin_shape},         {u"Tray", make_tray_icon},
    {u"Wsk", make_socket_control},           {u"Web", make_web_browser},
};
}  // namespace

ControlMaker find_control_maker(std::u16string_view kind) {
  for (const Entry& e : kMakers)
    if (iequals(e.kind, kind)) return e.make;
  return make_placeholder_control;
}

}  // namespace qz
