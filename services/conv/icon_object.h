// sys.Conv.Icon: an icon from part of a device context with one colour transparent, and the
// picture object that takes over an icon handle.
#pragma once
#include "com/object.h"

namespace qz {

Ref<Object> new_icon_object();

}  // namespace qz
