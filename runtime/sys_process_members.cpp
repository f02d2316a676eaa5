// sys members for the script's and engine's folders, the language, waiting and pumping events.
#include <time.h>

#include <cerrno>

#include "com/convert.h"
#include "platform/codepage.h"
#include "platform/event_loop.h"
#include "runtime/script_file.h"

namespace qz {

void define_sys_process_members(Members<ScriptFile>& m) {
  m.method(u"Path", [](ScriptFile& s, Args) { return Variant(s.engine().script_folder()); });
  m.method(u"PathEngine", [](ScriptFile& s, Args) { return Variant(s.engine().engine_folder()); });
  m.method(u"LangID", [](ScriptFile&, Args) { return Variant(static_cast<int16_t>(language_id())); });
  // The thread waits, and with it every timer and event, as the platform's Sleep does.
  m.method(u"CSleep", [](ScriptFile&, Args a) {
    int32_t ms = to_long(a[0]);
    if (ms > 0) {
      timespec ts{ms / 1000, (ms % 1000) * 1000000L};
      while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
      }
    }
    return Variant();
  });
  m.method(u"CDoEvents", [](ScriptFile& s, Args) {
    const uint64_t ended = s.engine().runs_ended();
    event_loop().do_events();
    // The run ended during the pass: the calling script must not go on without its sys.
    if (s.engine().runs_ended() != ended) throw RunEnded{};
    return Variant();
  });
}

}  // namespace qz
