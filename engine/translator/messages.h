// The messages a translation shows (a missing library, a missing or circular #Include), in the
// engine's language. They are queued in the result and shown through the host unless error
// display is off at the moment they are shown.
#pragma once
#include <string>
#include <string_view>

#include "engine/translator/translator.h"

namespace qz::tr {

class Messenger {
 public:
  Messenger(TranslationResult& result, TranslatorHost& host, const TranslatorState& state, int language_id)
      : result_(result), host_(host), state_(state), russian_(language_id == 1049) {}

  // Queues a message about `subject` (a file or library name); shown by the next flush().
  void add(TranslatorMessage::Kind kind, std::u16string_view subject);
  // Shows every queued message unless error display is off.
  void flush();

 private:
  TranslationResult& result_;
  TranslatorHost& host_;
  const TranslatorState& state_;
  bool russian_;
  size_t flushed_ = 0;
};

}  // namespace qz::tr
