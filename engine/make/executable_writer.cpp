#include "engine/make/executable_writer.h"

#include "engine/make/make_paths.h"
#include "engine/make/standalone_layout.h"
#include "engine/pack/file_replace.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz::make {

namespace {

bool ends_with_qz(std::string_view name) {
  return name.size() >= 3 && name[name.size() - 3] == '.' && (name[name.size() - 2] | 0x20) == 'q' &&
         (name[name.size() - 1] | 0x20) == 'z';
}

// ".ext" of the file name of `path`, "" when it has none.
std::string extension_of(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string_view describe_format(std::string_view image) {
  if (image.substr(0, 4) == "\x7f" "ELF") return "the template is an ELF program, which has no such resources";
  if (image.substr(0, 2) == "MZ") return "editing the resources of PE programs is not available yet";
  return "the template is not a PE program";
}

}  // namespace

std::string executable_name(const std::string& script_path, const std::string& template_path) {
  std::string ext = extension_of(template_path);
  std::string name = script_path;
  size_t slash = name.rfind('/');
  std::string_view file = std::string_view(name).substr(slash == std::string::npos ? 0 : slash + 1);
  if (ends_with_qz(file)) name.replace(name.size() - 3, 3, ext);
  else name += ext;
  return name == script_path || name.empty() || name.back() == '/' ? std::string() : name;
}

bool write_title(std::string& image, std::string_view title) {
  size_t at = image.find(standalone::title_area_signature());
  if (at == std::string::npos) {
    // A title written before has replaced the signature; our host's sentinel still marks it.
    at = image.find(standalone::title_area_sentinel());
    if (at != std::string::npos) at += standalone::kTitleSentinelSize;
  }
  if (at == std::string::npos || image.size() - at < standalone::kTitleAreaSize) return false;
  title = title.substr(0, standalone::kMaxTitleLength);
  image.replace(at, title.size(), title);
  image[at + title.size()] = '\0';
  return true;
}

std::optional<ExecutablePaths> plan_executable(const ExecutableOrder& order, const MakeContext& ctx, std::string& error) {
  ExecutablePaths paths;
  if (!order.module.empty()) paths.template_path = ini_path(order.module, order.folder, ctx);
  else paths.template_path = ctx.host_executable.empty() ? executable_path() : ctx.host_executable;
  if (paths.template_path.empty() || !file_exists(paths.template_path)) {
    error = "template program " +
            (paths.template_path.empty() ? std::string("(the running program)") : paths.template_path) + " not found";
    return std::nullopt;
  }
  paths.output_path = executable_name(order.script_path, paths.template_path);
  if (paths.output_path.empty()) {
    error = "the program for " + order.script_path + " would replace the script itself; name the script *.qz";
    return std::nullopt;
  }
  const bool over_template = same_file(paths.output_path, paths.template_path);
  if (over_template || same_file(paths.output_path, order.script_path)) {
    error = "refusing to write " + paths.output_path + " over the " + (over_template ? "template program" : "script");
    return std::nullopt;
  }
  return paths;
}

bool write_executable(const ExecutableOrder& order, const ExecutablePaths& paths, const std::string& script_bytes,
                      const MakeContext& ctx, std::string& error) {
  auto image = pack::read_whole_file(paths.template_path, error);
  if (!image) return false;
  // A standalone program given as the template: its own script goes.
  const std::string marker = standalone::end_marker();
  if (size_t at = image->find(marker); at != std::string::npos) image->resize(at);

  if (order.title) {
    std::u16string_view title = *order.title;
    if (!write_title(*image, encode(ansi_code_page(), title.substr(0, standalone::kMaxTitleLength))))
      ctx.report("the template " + paths.template_path + " has no title area; the title is not written");
  }
  if (!order.icon.empty()) {
    std::string icon = ini_path(order.icon, order.folder, ctx);
    if (file_exists(icon)) ctx.report("icon " + icon + " skipped: " + std::string(describe_format(*image)));
  }
  if (!order.resource_edits.empty())
    ctx.report(std::to_string(order.resource_edits.size()) + " [resource] edit line(s) skipped: " +
               std::string(describe_format(*image)));

  *image += marker;
  *image += script_bytes;
  return pack::replace_file(paths.output_path, *image, 0755, error);
}

}  // namespace qz::make
