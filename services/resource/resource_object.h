// sys.Resource: hands the resources cut out of a script's <#res ...#> blocks back to the
// script as a name, text, an array of bytes, a file or a picture. It reads the engine's
// resource table and, for files written next to a module, the module table; both belong to
// the engine and outlive the object.
#pragma once
#include "com/object.h"

namespace qz {

struct TranslatorState;

Ref<Object> new_resource_object(const TranslatorState& tables);

}  // namespace qz
