// Cursors loaded from files for sys.GDI.Cursor: static ones (CUR, ICO or any picture, hot spot
// from the file) and animated ones (ANI, whose frames a timer steps through), by handle. The
// cursor a window kind shows is its "class cursor": setting it for one window of a kind sets it
// for every window of that kind, those made later included, except windows whose MousePointer
// names a pointer of their own.
#pragma once
#include <QCursor>
#include <cstdint>
#include <string_view>

#include "platform/window/window_system.h"

class QWidget;

namespace qz {

int32_t load_cursor_file(std::u16string_view path);
// A cursor from bytes (what load_cursor_file reads); 0 when they are no cursor.
int32_t load_cursor_bytes(const uint8_t* data, size_t size);
// Windows still showing it go back to the arrow.
void destroy_cursor_handle(int32_t cursor);
// The previous class cursor of the window's kind (0: the arrow), or -1 for no such window.
int32_t set_window_class_cursor(WindowHandle window, int32_t cursor);
// The frame a cursor shows now; a default cursor for 0 or an unknown handle.
QCursor cursor_frame(int32_t cursor);
int cursor_frame_count(int32_t cursor);
bool set_window_small_icon(WindowHandle window, std::u16string_view path);

}  // namespace qz
