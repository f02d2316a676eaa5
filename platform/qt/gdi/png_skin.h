// PNG skins of forms: the form is shown only through a PNG with per-pixel alpha (times a
// constant alpha), drawn at its own size from the form's top-left corner, above other windows.
// The skin is a frameless translucent window over the form, which turns invisible meanwhile.
#pragma once
#include <QImage>
#include <cstdint>
#include <string_view>

#include "platform/window/window_system.h"

namespace qz {

bool load_form_skin(WindowHandle form, std::u16string_view path, uint8_t alpha);
void unload_form_skin(WindowHandle form);
// What the skin shows (premultiplied ARGB, the form's size); null when the form has none.
QImage form_skin_image(WindowHandle form);

}  // namespace qz
