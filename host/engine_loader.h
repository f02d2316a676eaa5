// Finding and loading the engine library at run time, as creating an object by its ProgID
// does: never linked, always loaded with dlopen. The places to look, in this order:
//   $QUAZEL_ENGINE                                   a path to libquazel.so
//   the folder of the running program                libquazel.so beside quazel
//   ${XDG_CONFIG_HOME:-~/.config}/quazel/progids/Tolvex.Quazel   its first line: the path
//   ../lib/libquazel.so from the program's folder    an install under any PREFIX
//   the library search for "libquazel.so"           the system's library folders
// (The program carries no run path: its own libraries are the system's, and a run path would
// send the loader through a dozen missing folders for each of them on every start.)
// A standalone program may also carry an engine of its own; engine_choice.h decides.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "engine/library_entry.h"
#include "platform/event_loop.h"

namespace qz {

enum class EngineSource { Variable, Beside, Registered, Prefix, Installed };

struct EngineCandidate {
  EngineSource source;
  std::string path;  // a file path; for Installed the bare library name
};

// The places that are set, in order.
std::vector<EngineCandidate> engine_library_candidates();

// An engine library, open for the life of the process.
struct EngineLibrary {
  std::string path;  // as it was opened
  CreateObjectFn create = nullptr;
  EngineVersionFn version = nullptr;  // null in a library older than this entry point
};

// Opens the library `path` (a bare name goes through the library search), checks that it is
// an engine, and gives it `loop` and the host's standard streams. Nullopt, with `error`, when
// it does not open or is no engine.
std::optional<EngineLibrary> open_engine_library(const std::string& path, EventLoop& loop, std::string& error);

// The same for a library whose bytes are in memory (a carried engine).
std::optional<EngineLibrary> open_engine_from_memory(std::string_view bytes, EventLoop& loop, std::string& error);

// A new Tolvex.Quazel of the library; null, with `error`, when it cannot be created.
Ref<Object> create_engine(const EngineLibrary& library, std::string& error);

}  // namespace qz
