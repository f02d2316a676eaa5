// qztranslate FILE.qz [OUTDIR]: translates a script as the engine would and prints every
// generated module (or writes them to OUTDIR, one file each), then the resources, directives
// and messages the translation reported.
#include <cstdio>
#include <string>

#include "com/str.h"
#include "engine/translator/module_dump.h"
#include "engine/translator/translator.h"
#include "platform/path.h"

namespace {

const char* kind_word(qz::LoadKind k) {
  switch (k) {
    case qz::LoadKind::Form: return "form";
    case qz::LoadKind::Module: return "module";
    case qz::LoadKind::GlobalCode: return "global code";
    case qz::LoadKind::ModuleObject: return "module object";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: qztranslate FILE.qz [OUTDIR]\n");
    return 2;
  }
  qz::TranslatorHost host;
  std::optional<std::string> path = host.find_file(qz::utf8_to_u16(argv[1]));
  std::optional<std::string> bytes = path ? host.read_file(*path) : std::nullopt;
  if (!bytes) {
    std::fprintf(stderr, "qztranslate: cannot read %s\n", argv[1]);
    return 1;
  }
  qz::TranslatorSettings settings = qz::default_translator_settings();
  settings.script_folder = qz::script_path(qz::parent_folder(*path));
  settings.engine_folder = qz::script_path(qz::executable_folder());
  settings.stdout_usable = true;
  qz::TranslatorState state;
  qz::TranslationResult r = qz::translate_script(*bytes, qz::script_path(*path), settings, state, &host);

  if (argc == 3) {
    if (!qz::tr::dump_modules(r, argv[2])) {
      std::fprintf(stderr, "qztranslate: cannot write to %s\n", argv[2]);
      return 1;
    }
  } else {
    for (const qz::LoadStep& s : r.steps) {
      std::printf("==== %s %d %s%s%s\n", kind_word(s.kind), s.number, qz::u16_to_utf8(s.name).c_str(),
                  s.control_name.empty() ? "" : (" as " + qz::u16_to_utf8(s.control_name)).c_str(),
                  s.register_name.empty() ? "" : (", object " + qz::u16_to_utf8(s.register_name)).c_str());
      std::fputs(qz::u16_to_utf8(s.code).c_str(), stdout);
      if (!s.code.empty() && s.code.back() != u'\n') std::fputs("\n", stdout);
    }
  }
  for (const qz::ResourceRecord& res : r.resources)
    std::fprintf(stderr, "resource module %d id %d \"%s\": %zu bytes%s%s\n", res.module, res.id,
                 qz::u16_to_utf8(res.name).c_str(), res.data.size(), res.base64 ? " (base64)" : "",
                 res.stored ? "" : " (not stored)");
  for (int i = 0; i < qz::kRunLevelCount; ++i)
    if (r.run_levels_stated.on[i])
      std::fprintf(stderr, "run level %s\n", qz::u16_to_utf8(qz::run_level_word(static_cast<qz::RunLevel>(i))).c_str());
  if (r.no_show_error) std::fprintf(stderr, "error display off\n");
  for (const qz::TranslatorMessage& m : r.messages)
    std::fprintf(stderr, "message: %s\n", qz::u16_to_utf8(m.text).c_str());
  return 0;
}
