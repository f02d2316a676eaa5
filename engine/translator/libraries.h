// #Lib <name>: each library is looked for as name.qz, then in the script's folder, then in the
// engine's Lib folder, and translated once per run as a module of its own.
#pragma once
#include <string>
#include <vector>

#include "engine/translator/context.h"

namespace qz::tr {

inline constexpr int kMaxLibraryDepth = 64;

// `entries` are the #Lib names (macros expanded) in order of appearance.
void load_libraries(const std::vector<std::u16string>& entries, Context& ctx);

}  // namespace qz::tr
