// The script error number a call raises (0 when it raises none), for tables of failing calls.
#pragma once
#include <functional>

#include "com/error.h"

namespace qz {

inline int error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

}  // namespace qz
