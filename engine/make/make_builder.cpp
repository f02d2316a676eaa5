#include "engine/make/make_builder.h"

#include <filesystem>
#include <stdexcept>

#include "engine/make/executable_writer.h"
#include "engine/make/make_ini.h"
#include "engine/make/make_paths.h"
#include "engine/make/resource_blocks.h"
#include "engine/pack/file_replace.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz::make {

namespace {

MakeResult failure(std::string error) {
  MakeResult r;
  r.ok = false;
  r.error = std::move(error);
  return r;
}

// make.ini is UTF-8 when it reads as UTF-8 (a BOM dropped), else the ANSI page.
int ini_code_page(std::string& bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return is_valid_utf8(bytes) ? static_cast<int>(CodePage::Utf8) : ansi_code_page();
}

}  // namespace

MakeResult build_from_make_ini(std::u16string_view script_path, const MakeContext& ctx) {
  std::string path = find_path(script_path);
  if (!file_exists(path)) return failure("script " + path + " not found");
  if (path[0] != '/') {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    if (!ec) path = with_trailing_slash(cwd) + path;
  }
  // make.ini lies beside the script. A bare file name (a script in the current folder) may
  // also find it in the engine's folder, as it did where scripts were started from there.
  std::string folder = parent_folder(path);
  const bool names_folder = script_path.find_first_of(u"\\/") != std::u16string_view::npos;
  if (!names_folder && !ctx.engine_folder.empty() && !file_exists(resolve_path(folder + "make.ini")))
    folder = with_trailing_slash(ctx.engine_folder);

  std::string ini_bytes;
  std::string error;
  if (std::string ini = resolve_path(folder + "make.ini"); file_exists(ini)) {
    auto read = pack::read_whole_file(ini, error);
    if (!read) return failure(error);
    ini_bytes = std::move(*read);
  }
  const int ini_cp = ini_code_page(ini_bytes);
  const std::u16string ini = decode(ini_cp, ini_bytes);
  const std::u16string options = section_text(ini, u"options");

  auto script = pack::read_whole_file(path, error);
  if (!script) return failure(error);
  bool changed = false;
  if (auto target = key_value(options, u"file", false)) {
    path = ini_path(*target, folder, ctx);
    changed = true;  // the copy is written even when nothing else changes
  }

  const auto resfiles = resfile_lines(section_text(ini, u"resfile"));
  if (!resfiles.empty()) {
    if (pack::is_packed(*script))
      ctx.report("the script is packed already: the resource blocks appended to it will not be read");
    *script += resource_blocks(resfiles, ini_cp, folder, ctx);
    changed = true;
  }

  // Without make.ini (or with an empty one) the user asks for a program: it is built from a
  // packed copy, and the script's own file stays as it is, so the readable source is never
  // replaced by its packed form behind the user's back.
  const bool default_order = ini.empty();
  const bool compile_exe = default_order || key_starts_with(options, u"compile", u"exe");
  if ((default_order || key_starts_with(options, u"type", u"full") || compile_exe) && !pack::is_packed(*script)) {
    try {
      *script = pack::pack(*script, ctx.version);
    } catch (const std::exception& e) {
      return failure("cannot pack " + path + ": " + e.what());
    }
    changed = true;
  }

  // A standalone program is planned before anything is written, so a refusal changes nothing.
  ExecutableOrder order;
  std::optional<ExecutablePaths> exe_paths;
  if (compile_exe) {
    order.script_path = path;
    order.folder = folder;
    order.module = key_value(options, u"module", false).value_or(u"");
    order.icon = key_value(options, u"icon", false).value_or(u"");
    order.resource_edits = resource_edits(section_text(ini, u"resource"));
    order.title = key_value(options, u"title", true);
    order.carry_engine = !key_starts_with(options, u"engine", u"external");
    exe_paths = plan_executable(order, ctx, error);
    if (!exe_paths) return failure(error);
  }

  MakeResult result;
  result.script_path = path;
  result.packed = pack::is_packed(*script);
  if (changed && !default_order && !pack::replace_file(path, *script, std::nullopt, error)) return failure(error);
  if (compile_exe) {
    if (!write_executable(order, *exe_paths, *script, ctx, error)) {
      result.ok = false;
      result.error = error;
      return result;
    }
    result.executable_path = exe_paths->output_path;
  }
  return result;
}

}  // namespace qz::make
