// What make appended to a standalone copy of this program, read without copying the program:
// the file is mapped and the end marker looked for right behind the program's ELF image
// (searched for only when it is not there). Starting must stay fast, and a program file runs
// to megabytes. The script comes first; an engine library may follow it
// (engine/make/carried_engine.h), and is only inflated when the start-up check asks for it.
#pragma once
#include <optional>
#include <string>

namespace qz {

// Everything after the first end marker in the running program up to a carried engine
// (possibly empty), or nullopt when it has none or cannot be read.
std::optional<std::string> read_own_embedded_script();

// The engine library the running program carries.
struct CarriedEngine {
  enum class State { None, Intact, Damaged };
  State state = State::None;
  std::string library;  // the library's bytes when Intact
  std::string error;    // what is wrong when Damaged
};
CarriedEngine read_own_carried_engine();

}  // namespace qz
