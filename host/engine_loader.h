// Finding and loading the engine library at run time, as creating an object by its ProgID
// does: never linked, always loaded with dlopen. The library is looked for, in this order:
//   $QUAZEL_ENGINE                                   a path to libquazel.so
//   the folder of the running program                libquazel.so beside quazel
//   ${XDG_CONFIG_HOME:-~/.config}/quazel/progids/Tolvex.Quazel   its first line: the path
#pragma once
#include <string>
#include <vector>

#include "com/object.h"
#include "platform/event_loop.h"

namespace qz {

struct LoadedEngine {
  Ref<Object> engine;   // null when no library could be loaded
  std::string path;     // the library that was loaded
  std::string error;    // why not, when engine is null
};

// The places to try, in order (the ones that are set).
std::vector<std::string> engine_library_candidates();

// Loads the first candidate that opens, gives it `loop`, and creates Tolvex.Quazel.
LoadedEngine load_engine(EventLoop& loop);

}  // namespace qz
