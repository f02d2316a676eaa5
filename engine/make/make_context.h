// What the make builder needs from the engine around it, and what it reports back.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "engine/pack/packed_script.h"

namespace qz::make {

struct MakeContext {
  // Written into the header of packed scripts.
  pack::EngineVersion version;
  // Where make.ini is looked for when the script path names no folder (an OS folder ending
  // with "/"; empty: the current folder).
  std::string engine_folder;
  // The default template: the host program (OS path; empty: the running program).
  std::string host_executable;
  // The engine library a standalone program carries after its script (OS path; empty: none).
  std::string engine_library;
  // The engine's %macro% expansion for paths in make.ini; empty: paths are taken as written.
  std::function<std::u16string(std::u16string_view)> expand_path_macros;
  // One line for each step that was skipped (icon and resource edits on an ELF template, a
  // missing resource file); empty: written to stderr.
  std::function<void(const std::string&)> note;

  std::u16string expand(std::u16string_view path) const;
  void report(const std::string& line) const;
};

struct MakeResult {
  bool ok = true;
  std::string error;            // when !ok: what failed, with the path
  std::string script_path;      // the script file the build worked on (the `file` copy, if any)
  bool packed = false;          // that file is packed now
  std::string executable_path;  // the standalone program written, if any
};

}  // namespace qz::make
