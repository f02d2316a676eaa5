#include "runtime/native/sys_native.h"

#include "com/convert.h"
#include "runtime/native/callback_bridge.h"
#include "runtime/native/func_call.h"
#include "runtime/script_file.h"

namespace qz {

Ref<Object> create_dynapi_service(EngineLink&) { return make_ref<FuncCall>(); }

void define_sys_callback_members(Members<ScriptFile>& m) {
  m.method(u"CallBack", [](ScriptFile& s, Args a) {
    try {
      return Variant(bind_callback(s.engine().script_control(), to_u16(a[0]), to_long(a[1])));
    } catch (...) {
      return Variant(int64_t{0});
    }
  });
}

}  // namespace qz
