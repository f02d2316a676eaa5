// Which engine a run uses, decided before the run starts. In order:
//   1. $QUAZEL_ENGINE, then an engine beside the program: the user put it there, so when the
//      file is present it is the engine, usable or not;
//   2. the registered path, then an installed engine (the library search): used when its
//      version is at least the host's, else passed over;
//   3. the engine a standalone program carries: verified by length and CRC, then loaded from
//      memory; a damaged one is reported as such.
// Every engine tried is asked for its version (startup_check.h).
#pragma once
#include <optional>
#include <string>

#include "host/engine_loader.h"
#include "platform/event_loop.h"

namespace qz {

struct EngineChoice {
  std::optional<EngineLibrary> library;  // the engine to run with
  std::u16string message;                // when there is none: what to tell the user
};

// `langid` picks the language of the message.
EngineChoice choose_engine(EventLoop& loop, int langid);

}  // namespace qz
