// The process-wide ProgID registry behind CreateObject. Unknown names raise error 429
// "ActiveX component can't create object".
#pragma once
#include <functional>
#include <string_view>

#include "com/object.h"

namespace qz {

using ObjectFactory = std::function<Ref<Object>()>;

// Registers (or replaces) the factory for a ProgID; names match without regard to case.
// An empty factory removes the name.
void register_progid(std::u16string_view progid, ObjectFactory factory);
bool progid_registered(std::u16string_view progid);
Ref<Object> create_object(std::u16string_view progid);

}  // namespace qz
