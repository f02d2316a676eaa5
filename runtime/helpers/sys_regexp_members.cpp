// sys members behind the =~ operator and its $n references.
#include "com/convert.h"
#include "runtime/helpers/regexp_support.h"
#include "runtime/helpers/sys_members.h"
#include "runtime/script_file.h"

namespace qz {

namespace {

// The flags arrive as the texts "True" or "False" (or as Booleans from a script's own call).
RegexpFlags flags(Args a, size_t ignore_case) {
  return {a.has(ignore_case) && to_bool(a[ignore_case]), a.has(ignore_case + 1) && to_bool(a[ignore_case + 1])};
}

}  // namespace

void define_sys_regexp_members(Members<ScriptFile>& m) {
  m.method(u"GET_RXP_MTS", [](ScriptFile&, Args) { return rxp_last_match_set(); });
  m.method(u"RXP_RPL", [](ScriptFile&, Args a) {
    return Variant(rxp_replace(to_u16(a[0]), to_u16(a[1]), to_u16(a[2]), flags(a, 3)));
  });
  m.method(u"RXP_CMP", [](ScriptFile&, Args a) {
    return Variant(rxp_compare(to_u16(a[0]), to_u16(a[1]), flags(a, 2)));
  });
  m.method(u"RXP_EXE", [](ScriptFile&, Args a) {
    return Variant(rxp_execute(to_u16(a[0]), to_u16(a[1]), flags(a, 2)));
  });
  m.method(u"RXP_Param", [](ScriptFile&, Args a) {
    try {
      return Variant(rxp_param(to_integer(a[0]), a.has(1) ? to_long(a[1]) : 0));
    } catch (...) {
      return Variant(Str());
    }
  });
}

}  // namespace qz
