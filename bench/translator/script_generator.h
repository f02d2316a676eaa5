// Generates a large .qz program of the kind the translator must handle quickly: procedures,
// Type blocks, Methods and their calls, typed Dims, Declare statements, =~ lines with match
// references, continued lines, comments, #Include files, a #Lib library and a resource block.
#pragma once
#include <string>

namespace qz::bench {

struct GeneratedScript {
  std::string main_path;     // the main script, in `folder`
  size_t total_bytes = 0;    // main script, includes and library together
};

// Writes the program into `folder` (which must exist): about `target_bytes` in all.
// `russian` adds <#--AddRus> and Russian keywords to every procedure.
GeneratedScript generate_script(const std::string& folder, size_t target_bytes, bool russian);

}  // namespace qz::bench
