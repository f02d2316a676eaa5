// sys.GDI.Plus: picture files of any format the image plug-ins read, drawn at a requested size
// on a background colour; pictures re-drawn at a new size; forms skinned with a PNG that
// carries per-pixel alpha. Loading a skin checks that the PNG loaded (returning -1 and leaving
// the form as it was when it did not), a second skin replaces the first, and unloading twice
// is harmless.
#pragma once
#include "com/object.h"

namespace qz {

Ref<Object> new_gdip_object();

}  // namespace qz
