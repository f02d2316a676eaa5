// Writes the generated code of a translation to a folder, one file per load step, so that a
// developer can read what the script control gets ($QUAZEL_DUMP_DIR).
#pragma once
#include <string>

#include "engine/translator/translator.h"

namespace qz::tr {

// "main", "module", "lib", "form" or "global".
const char* role_word(ModuleRole role);

// The file name for step `index` of a result: "01_main_hello.vbs", "02_form_frmMain.vbs".
std::string dump_file_name(size_t index, const LoadStep& step);

// Returns false when the folder or a file could not be written.
bool dump_modules(const TranslationResult& result, const std::string& folder);

}  // namespace qz::tr
