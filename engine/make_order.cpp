#include "engine/make_order.h"

#include "com/convert.h"
#include "engine/engine_core.h"
#include "engine/engine_paths.h"
#include "engine/make/make_builder.h"
#include "engine/version.h"
#include "platform/output.h"
#include "platform/path.h"

namespace qz {

void run_make_order(std::u16string_view script_path) {
  EngineCore& core = EngineCore::instance();
  make::MakeContext ctx;
  ctx.version = {kEngineVersionMajor, kEngineVersionMinor, kEngineVersionRevision};
  ctx.engine_folder = os_path(core.engine_folder());
  if (Object* host = core.host_object()) {
    try {
      ctx.host_executable = os_path(to_u16(host->call(u"GetExePath")));
    } catch (...) {
    }
  }
  ctx.engine_library = engine_library_file();
  ctx.expand_path_macros = [&core](std::u16string_view p) { return core.expand_path_macros(p); };
  make::MakeResult result = make::build_from_make_ini(script_path, ctx);
  if (!result.ok) {
    write_stderr(u"make: " + utf8_to_u16(result.error) + u"\n");
    core.set_failed();
  }
}

}  // namespace qz
