#include "engine/translator/libraries.h"

#include <optional>

#include "com/str.h"
#include "engine/translator/module_builder.h"
#include "engine/translator/pipeline.h"
#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

using Kind = TranslatorMessage::Kind;

// Where the library is: name.qz as given, in the script's folder, or in the engine's Lib folder.
std::u16string library_path(const std::u16string& entry, Context& ctx) {
  std::u16string candidates[] = {
      entry + u".qz",
      ctx.settings.script_folder + entry + u".qz",
      ctx.settings.engine_folder + u"Lib/" + entry + u".qz",
  };
  std::u16string chosen = candidates[2];
  for (int i = 0; i < 2; ++i)
    if (ctx.host.find_file(candidates[i])) {
      chosen = candidates[i];
      break;
    }
  // One spelling per library, so that the loaded-once check compares like with like.
  return lower(replace_all(chosen, u"\\", u"/"));
}

bool already_loaded(const std::u16string& path, Context& ctx) {
  if (ctx.libraries_seen.count(path)) return true;
  for (int n = 1; n < ModuleTable::kSize; ++n) {
    const ModuleEntry* e = ctx.state.modules.find(n);
    if (!e || (e->folder.empty() && e->name.empty())) break;
    if (lower(e->folder + e->name + u".qz") == path) return true;
  }
  return false;
}

}  // namespace

void load_libraries(const std::vector<std::u16string>& entries, Context& ctx) {
  // The list is kept as one text with a CR after each entry and read back as the runs
  // between CRs, so an entry holding a CR counts as two.
  std::vector<std::u16string> names;
  for (const std::u16string& e : entries) {
    size_t start = 0;
    while (start <= e.size()) {
      size_t cr = e.find(u'\r', start);
      if (cr == std::u16string::npos) cr = e.size();
      if (cr > start) names.push_back(e.substr(start, cr - start));
      start = cr + 1;
    }
  }
  for (const std::u16string& entry : names) {
    guarded(ctx, [&] {
      std::u16string path = library_path(entry, ctx);
      if (already_loaded(path, ctx)) return;
      std::optional<std::string> os = ctx.host.find_file(path);
      std::optional<std::string> bytes = os ? ctx.host.read_file(*os) : std::nullopt;
      if (!bytes) {
        ctx.messenger.add(Kind::MissingLibrary, entry);
        ctx.messenger.flush();
        return;
      }
      if (ctx.library_depth >= kMaxLibraryDepth || ctx.libraries_seen.size() >= kMaxLibraries) {
        ctx.messenger.add(Kind::LibraryTooDeep, entry);
        ctx.messenger.flush();
        return;
      }
      ctx.libraries_seen.insert(path);
      struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
      } depth(ctx.library_depth);
      translate_unit(*bytes, path, ModuleRole::Lib, ctx);
    });
  }
}

}  // namespace qz::tr
