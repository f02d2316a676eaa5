// The make builder: what `quazel script.qz /make` does, driven by an optional make.ini in the
// script's folder.
//
//   [options]   file = target copy     type = full (pack)     compile = exe (standalone)
//               module = template      icon = icon file       title = program title
//               engine = external (the program carries no engine and needs an installed one)
//   [resfile]   name[:base64] = file path, or * inline text (<#vbcrlf#> for a line break)
//   [resource]  kind.action.lang.section.table.key = value (PE resource edits)
//
// Without make.ini (or with an empty one) the script is packed where it lies. Every file is
// written through a temporary file and a rename, so a failed step never leaves half a file.
#pragma once
#include <string_view>

#include "engine/make/make_context.h"

namespace qz::make {

// `script_path` is the path as the command line gave it (script text: "\" or "/", drive
// letters; a relative path starts in the current folder). make.ini is read from the script's
// folder; for a bare file name without a make.ini beside it, from ctx.engine_folder. Relative
// paths in make.ini start in the folder make.ini was looked for in. Stops at the first step
// that fails and says why in the result.
MakeResult build_from_make_ini(std::u16string_view script_path, const MakeContext& ctx);

}  // namespace qz::make
