// Which adapter makes a control of each kind: the form's array names ("Command", "Label",
// "Pic", ...) to a maker. A kind without an adapter of its own gets a plain placeholder window
// that answers the common members and raises the common events.
#pragma once
#include <string_view>

#include "com/ref.h"
#include "platform/qt/qt_control.h"

namespace qz {

using ControlMaker = Ref<QtControl> (*)(std::u16string_view kind, int16_t index, QWidget* parent);

ControlMaker find_control_maker(std::u16string_view kind);

// The makers, one per adapter file.
Ref<QtControl> make_command_button(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_label(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_text_box(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_check_box(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_option_button(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_frame(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_list_box(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_combo_box(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_scroll_bar(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_drive_list(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_dir_list(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_file_list(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_picture_box(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_image_control(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_shape_control(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_line_control(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_timer_control(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_ole_container(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_picture_clip(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_progress_bar(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_skin_shape(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_tray_icon(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_socket_control(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_web_browser(std::u16string_view kind, int16_t index, QWidget* parent);
Ref<QtControl> make_placeholder_control(std::u16string_view kind, int16_t index, QWidget* parent);

}  // namespace qz
