// The window system's graphics services on Qt (platform/window/graphics_services.h): each call
// goes to the file that does that part of the work.
#pragma once
#include "platform/window/graphics_services.h"

namespace qz {

GraphicsServices& qt_graphics_services();
// hDC of forms and picture boxes.
DeviceContext window_device_context(WindowHandle window);

}  // namespace qz
