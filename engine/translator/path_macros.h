// %name% macros in #Include and #Lib paths: folders of the machine, the engine and the running
// script, or environment variables. The result is the whole text in lower case with every
// macro that has a value replaced by that value in its own case.
#pragma once
#include <string>
#include <string_view>

#include "engine/translator/translator.h"

namespace qz::tr {

std::u16string expand_path_macros(std::u16string_view path, const TranslatorSettings& settings, TranslatorHost& host);

}  // namespace qz::tr
