// What every pass of one translation shares: the settings, the engine-wide state, the host,
// the result being built and the message queue. Libraries translate with the same context.
#pragma once
#include <memory>
#include <set>
#include <string>

#include "engine/translator/messages.h"
#include "engine/translator/source_lines.h"
#include "engine/translator/translator.h"

namespace qz::tr {

struct Context {
  const TranslatorSettings& settings;
  TranslatorState& state;
  TranslatorHost& host;
  TranslationResult& result;
  Messenger& messenger;
  int library_depth = 0;                  // 0 for the script itself
  std::set<std::u16string> libraries_seen;  // every library path loaded by this call
  // Every source line marked so far (see source_lines.h); the modules built share it.
  std::shared_ptr<SourceLineTable> source_lines = std::make_shared<SourceLineTable>();
};

}  // namespace qz::tr
