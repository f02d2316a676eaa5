#include "engine/translator/translator.h"

#include <cstdlib>

#include "com/str.h"
#include "engine/translator/context.h"
#include "engine/translator/module_dump.h"
#include "engine/translator/pipeline.h"
#include "engine/translator/script_file_read.h"
#include "platform/codepage.h"
#include "platform/path.h"

extern char** environ;

namespace qz {

std::optional<std::string> TranslatorHost::find_file(std::u16string_view script_path) {
  if (script_path.empty()) return std::nullopt;
  std::string os = qz::find_path(script_path);
  if (!qz::file_exists(os)) return std::nullopt;
  return os;
}

std::optional<std::string> TranslatorHost::read_file(const std::string& os_path) {
  std::string bytes;
  if (read_script_file(os_path, bytes) != ScriptFileRead::Read) return std::nullopt;
  return bytes;
}

std::optional<std::u16string> TranslatorHost::environment(std::u16string_view name) {
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry(*e);
    size_t eq = entry.find('=');
    if (eq == std::string_view::npos) continue;
    if (iequals(utf8_to_u16(entry.substr(0, eq)), name)) return utf8_to_u16(entry.substr(eq + 1));
  }
  return std::nullopt;
}

TranslatorSettings default_translator_settings() {
  TranslatorSettings s;
  s.language_id = qz::language_id();
  s.temp_folder = qz::script_path(qz::temp_folder());
  return s;
}

TranslationResult translate_script(std::string_view bytes, std::u16string_view module_name,
                                   const TranslatorSettings& settings, TranslatorState& state, TranslatorHost* host) {
  TranslatorHost default_host;
  TranslatorHost& h = host ? *host : default_host;
  TranslationResult result;
  tr::Messenger messenger(result, h, state, settings.language_id);
  tr::Context ctx{settings, state, h, result, messenger, 0, {}};
  ModuleRole role = state.module_counter == 0 ? ModuleRole::Main : ModuleRole::Module;
  tr::guarded(ctx, [&] { tr::translate_unit(bytes, module_name, role, ctx); });
  messenger.flush();

  std::string dump_dir = settings.dump_dir;
  if (dump_dir.empty())
    if (const char* env = std::getenv("QUAZEL_DUMP_DIR")) dump_dir = env;
  if (!dump_dir.empty()) tr::dump_modules(result, dump_dir);
  return result;
}

}  // namespace qz
