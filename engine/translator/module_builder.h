// The last stage of a translation: the translated text is cut into module sections, classes
// and forms; their texts get the generated lines (names, module numbers, resource class,
// prologue); the module table and the load steps record them.
#pragma once
#include <string>
#include <string_view>

#include "engine/translator/context.h"

namespace qz::tr {

// The module's name from its module-name argument: the file's base name without ".qz" for a
// path, the argument without ".qz" otherwise.
std::u16string module_base_name(std::u16string_view module_name);
// The folder part of a path, with its separator ("" when there is none).
std::u16string module_folder(std::u16string_view module_name);

// Builds and records the module (and its forms) that `text` becomes; returns its number.
int build_module(std::u16string_view text, std::u16string_view module_name, ModuleRole role,
                 const std::u16string& declare_wrappers, Context& ctx);

}  // namespace qz::tr
