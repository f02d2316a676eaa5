// Entering a running script from outside its own call chain: FuncRun runs a procedure of a
// numbered module, GetModule finds modules by name or number.
#pragma once
#include <functional>
#include <string_view>
#include <vector>

#include "com/object.h"

namespace qz {

class ScriptControl;
struct ModuleEntry;

// Runs procedure `name` of module `module` (1 to the number of modules). Up to ten arguments
// go by reference (a procedure that assigns to a parameter changes the caller's variable);
// eleven or more go as one zero-based array of copies. Empty when the module or procedure is
// missing or the call fails.
Variant run_script_procedure(ScriptControl& control, std::u16string_view name, int32_t module, Args args);

// GetModule: mode 0 finds a module object by its table name (text) or number (1 to the
// number of modules), mode 4 gives the whole Modules collection. Modes 1 and 2 find the script
// form with a window handle and give its module number (formTag) or that module's table name;
// mode 3 gives the form whose module number it is. Empty when nothing matches.
// `module_entry` gives the table entry of a module number (null when it has none); `forms` are
// the loaded script forms in load order.
Variant find_script_module(ScriptControl& control, const std::function<const ModuleEntry*(int)>& module_entry,
                           const std::vector<Ref<Object>>& forms, const Variant& value, int32_t mode);

}  // namespace qz
