// The block every main module starts with: engine constants, platform constants and the
// wrapper procedures (Print, IIF, Format, StrConv, Sleep, Shell, ...) that forward to sys.
#pragma once
#include <string>

#include "engine/translator/translator.h"

namespace qz::tr {

// The prologue text, its last line followed by one more CR LF (an empty line before the script).
std::u16string prologue_text(const TranslatorSettings& settings, bool no_create_object);

}  // namespace qz::tr
