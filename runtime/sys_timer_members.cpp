// sys.OnTimer, OnTimer2 and OffTimer: script procedures called again and again at an interval.
#include "com/convert.h"
#include "runtime/script_file.h"
#include "runtime/script_timers.h"

namespace qz {

namespace {

// The arguments after the first `fixed` ones.
Args rest(Args a, size_t fixed) {
  return a.size() > fixed ? Args(a.data() + fixed, a.size() - fixed) : Args();
}

}  // namespace

void define_sys_timer_members(Members<ScriptFile>& m) {
  m.method(u"OnTimer", [](ScriptFile& s, Args a) {
    try {
      s.engine().timers().set(to_long(a[0]), to_u16(a[1]), 1, rest(a, 2));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"OnTimer2", [](ScriptFile& s, Args a) {
    try {
      s.engine().timers().set(to_long(a[0]), to_u16(a[1]), to_integer(a[2]), rest(a, 3));
    } catch (...) {
    }
    return Variant();
  });
  m.method(u"OffTimer", [](ScriptFile& s, Args a) {
    try {
      s.engine().timers().off(to_u16(a[0]));
    } catch (...) {
    }
    return Variant();
  });
}

}  // namespace qz
