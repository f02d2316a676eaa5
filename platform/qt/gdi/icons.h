// Icon handles of sys.Conv.Icon: an icon made from part of a device context with one colour
// transparent, held by handle until a picture object takes it over.
#pragma once
#include <QImage>
#include <cstdint>

#include "com/object.h"
#include "platform/window/graphics_services.h"

namespace qz {

int32_t make_icon_from_dc(DeviceContext dc, int32_t width, int32_t height, int32_t mask_color);
// The icon's image; null for a handle that is not a live icon.
QImage icon_image(int32_t icon);
// A Type 3 picture owning the icon (the handle is then no longer an icon); null when unknown.
Ref<Object> take_icon_as_picture(int32_t icon);

}  // namespace qz
