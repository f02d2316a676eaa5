// PNG skins of forms: the form is shown only through a PNG with per-pixel alpha (times a
// constant alpha), drawn at its own size from the form's top-left corner, above other windows.
// The skin is a frameless translucent window over the form, which turns invisible meanwhile;
// the skin follows the form as it moves, shows and hides, and goes with it.
//
// The skin's pixels stay with it as a memory device context of the process-wide table, holding
// the skin's bitmap (a picture handle) in place of the bitmap the context was made with: the
// three numbers a script form keeps for its skin.
#pragma once
#include <QImage>
#include <cstdint>
#include <string_view>

#include "platform/window/graphics_services.h"

class QWidget;

namespace qz {

// All 0 when the form has no skin now (or the skin could not be made).
SkinHandles load_form_skin(WindowHandle form, std::u16string_view path, uint8_t alpha);
// Frees the context and both bitmaps; false when the form had no skin.
bool unload_form_skin(WindowHandle form);
// What the skin shows (premultiplied ARGB, the form's size); null when the form has none.
QImage form_skin_image(WindowHandle form);
// The window that shows the skin; nullptr when the form has none.
QWidget* form_skin_window(WindowHandle form);

}  // namespace qz
