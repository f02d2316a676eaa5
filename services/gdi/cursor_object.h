// sys.GDI.Cursor: loads a static or animated cursor file and makes it the class cursor of a
// window's kind, restores the cursor it replaced, and sets a window's small icon from a file.
// Destroying the cursor (or loading another) first puts back the class cursor it replaced, so
// no window is left showing a cursor that no longer exists.
#pragma once
#include "com/object.h"

namespace qz {

Ref<Object> new_cursor_object();

}  // namespace qz
