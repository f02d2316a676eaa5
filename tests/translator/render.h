// A readable text of a translation result for comparing with expected files: every load step
// with its code, then resources, directives and messages. The prologue and the resource class
// stand as one placeholder line each; CR LF is a line end, a lone CR or LF is shown as <CR>
// or <LF>; `folder` (a path that differs between machines) is shown as <data>/.
#pragma once
#include <string>

#include "engine/translator/translator.h"

namespace qz::test {

std::string render(const TranslationResult& r, const TranslatorSettings& settings, const std::string& folder);

// A code text with its line breaks made visible as above.
std::string show_breaks(const std::u16string& code);

}  // namespace qz::test
