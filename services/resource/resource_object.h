// sys.Resource: hands the resources cut out of a script's <#res ...#> blocks back to the
// script as a name, text, an array of bytes, a file or a picture. It reads the engine's
// resource table and, for files written next to a module, the module's folder, through the
// lookup it is given.
#pragma once
#include <functional>
#include <string>

#include "com/object.h"
#include "engine/translator/resource_table.h"

namespace qz {

struct ResourceLookup {
  // The resource `id` of script module `module`; null outside the table.
  std::function<const ScriptResource*(int module, int id)> resource;
  // The folder of a module's script file, ending with a separator; empty when unknown.
  std::function<std::u16string(int module)> module_folder;
};

Ref<Object> new_resource_object(ResourceLookup lookup);

}  // namespace qz
