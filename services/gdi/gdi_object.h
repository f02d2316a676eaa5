// sys.GDI: display modes (read, list, change), polygon and gradient fills and alpha-blended
// copies on device contexts, layered-window transparency, the colour helpers, and the nested
// objects Plus (pictures and skins), OpenGL and Cursor. The window system is reached only by
// the members that draw or read the display, so a script that uses QBColor alone never loads it.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_gdi_object();
// The factory of sys.GDI.
Ref<Object> create_gdi_service(EngineLink& engine);

}  // namespace qz
