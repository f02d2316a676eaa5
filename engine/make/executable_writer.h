// Writing a standalone program: the template's bytes (cut at an end marker it already
// carries, its title area rewritten), the end marker, then the script bytes.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/make/make_context.h"
#include "engine/make/make_ini.h"

namespace qz::make {

struct ExecutableOrder {
  std::string script_path;               // OS path of the (packed) script file
  std::string folder;                    // where relative make.ini paths lie
  std::u16string module;                 // template as written in make.ini; empty: the host
  std::u16string icon;                   // icon file as written; empty: none
  std::vector<ResourceEdit> resource_edits;
  std::optional<std::u16string> title;   // nullopt: the template's title stays
  bool carry_engine = true;              // false: engine = external, the program relies on
                                         // an installed engine
};

// The output name: the script path whose final ".qz" (any case) becomes the template's
// extension ("" for a template without one); a script without ".qz" gets the extension
// appended. Empty when that would name the script itself.
std::string executable_name(const std::string& script_path, const std::string& template_path);

// Writes `title` (ANSI bytes, cut to 112) with a zero behind it at the start of the first
// title area in `image` (found by its signature, else by our host's sentinel). False when the
// image has no title area.
bool write_title(std::string& image, std::string_view title);

// Where the template is and where the program goes, checked before anything is written: the
// template (and the engine library to carry, if any) must exist, and the program must replace
// neither the script nor the template.
struct ExecutablePaths {
  std::string template_path;
  std::string output_path;
};
std::optional<ExecutablePaths> plan_executable(const ExecutableOrder& order, const MakeContext& ctx, std::string& error);

// Builds the standalone program from the template and `script_bytes`, followed by the engine
// library of ctx.engine_library (compressed, see carried_engine.h) unless the order leaves it
// out or the template is no ELF program; false with `error`.
bool write_executable(const ExecutableOrder& order, const ExecutablePaths& paths, const std::string& script_bytes,
                      const MakeContext& ctx, std::string& error);

}  // namespace qz::make
