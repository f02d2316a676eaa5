// The engine's module and resource tables as the helpers read them: null while the engine
// link does not hand them out.
#pragma once
#include "engine/translator/translator_state.h"
#include "runtime/engine_link.h"

namespace qz {

template <class Link>
const TranslatorState* engine_tables(Link& engine) {
  if constexpr (requires { engine.translator_state(); }) {
    return &engine.translator_state();
  } else {
    return nullptr;
  }
}

}  // namespace qz
