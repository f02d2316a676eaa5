// #Lib <name>: each library is looked for as name.qz, then in the script's folder, then in the
// engine's Lib folder, and translated once per run as a module of its own.
#pragma once
#include <string>
#include <vector>

#include "engine/translator/context.h"

namespace qz::tr {

inline constexpr int kMaxLibraryDepth = 64;
// Every library takes a module number of its own and the module table holds 255: more than
// that many libraries in one translation cannot be used, and a script whose libraries name
// ever new ones would otherwise be translated without end.
inline constexpr size_t kMaxLibraries = 255;

// `entries` are the #Lib names (macros expanded) in order of appearance.
void load_libraries(const std::vector<std::u16string>& entries, Context& ctx);

}  // namespace qz::tr
