// The passes of one translation unit (a script, or a library it names), in order.
#pragma once
#include <string>
#include <string_view>

#include "engine/translator/context.h"

namespace qz::tr {

// Translates `bytes` as module `module_name` and records its load steps; libraries it names
// are translated by nested calls.
void translate_unit(std::string_view bytes, std::u16string_view module_name, ModuleRole role, Context& ctx);

// Runs one step; an exception skips the rest of that step only and is reported.
template <class F>
void guarded(Context& ctx, F&& step) {
  try {
    step();
  } catch (const std::exception& e) {
    std::string what = e.what();
    ctx.messenger.add(TranslatorMessage::Kind::InternalError, std::u16string(what.begin(), what.end()));
  }
}

}  // namespace qz::tr
