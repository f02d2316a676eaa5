#include "engine/make/executable_writer.h"

#include <cstdlib>
#include <exception>

#include "engine/make/carried_engine.h"
#include "engine/make/make_paths.h"
#include "engine/make/standalone_layout.h"
#include "com/convert.h"
#include "engine/pack/file_replace.h"
#include "formats/pe/icon_file.h"
#include "formats/pe/resource_edits.h"
#include "formats/pe/string_table.h"
#include "formats/pe/version_tree.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz::make {

namespace {

// Where the host program keeps its main icon: group 1, images numbered from 30001.
constexpr uint32_t kIconStart = 30001;
constexpr uint16_t kIconGroup = 1;

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

// Why a template's resources cannot be edited; empty for a PE program we can edit.
std::string resource_editing_refused(std::string_view image) {
  if (image.substr(0, 4) == "\x7f" "ELF") return "the template is an ELF program, which has no such resources";
  std::string error;
  if (!pe::parse_layout(image, error)) return "the template is not a PE program we can edit: " + error;
  return {};
}

std::string narrow(std::u16string_view s) { return encode(ansi_code_page(), s); }

// The number written at the start of `text` (leading blanks skipped), rounded half to even;
// 0 when the text does not start with one.
double leading_number(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  std::string number;
  auto digits = [&] {
    size_t n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++n) number += static_cast<char>(text[i]);
    return n;
  };
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) number += static_cast<char>(text[i++]);
  size_t whole = digits(), fraction = 0;
  if (i < text.size() && text[i] == u'.') {
    number += '.';
    ++i;
    fraction = digits();
  }
  if (whole + fraction == 0) return 0;
  if (i + 1 < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    size_t mark = number.size(), back = i;
    number += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) number += static_cast<char>(text[i++]);
    if (digits() == 0) {
      number.resize(mark);
      i = back;
    }
  }
  return round_half_even(std::strtod(number.c_str(), nullptr));
}

std::u16string lower_ascii(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

// A number as a 16-bit resource number or language; nullopt outside 0 to 65535.
std::optional<uint16_t> word(double v) {
  if (!(v >= 0 && v <= 0xFFFF)) return std::nullopt;
  return static_cast<uint16_t>(v);
}

// The [resource] lines on a PE image, in order: version lines edit the tree read from version
// resource 1 (written back when at least one applied), string lines set string-table entries,
// any other kind stores a file as a resource of that type number. A line that cannot apply is
// reported and skipped.
void apply_resource_edits(std::string& image, const ExecutableOrder& order, const MakeContext& ctx) {
  std::string error;
  Variant tree;
  pe::update_version(image, tree, 1, error);
  bool version_seen = false;
  for (const ResourceEdit& e : order.resource_edits) {
    const std::u16string kind = lower_ascii(e.kind), action = lower_ascii(e.action);
    const std::string line = narrow(e.kind + u"." + e.action + u"." + e.lang + u"." + e.section + u"." + e.table +
                                    u"." + e.key);
    auto lang = word(leading_number(e.lang));
    bool ok = false;
    if (kind == u"version") {
      version_seen = true;
      pe::edit_version_tree(tree, action, e.section, e.table, e.key, Variant(e.value));
      continue;
    }
    if (!lang) {
      error = "language out of range";
    } else if (kind == u"string") {
      double number = leading_number(e.key);
      if (number < 0 || number > pe::kMaxStringNumber) error = "string number out of range";
      else ok = pe::update_string(image, static_cast<uint32_t>(number), action == u"remove" ? u"" : e.value, *lang,
                                  error);
    } else {
      auto type = word(leading_number(e.kind));
      double name_number = leading_number(e.key);
      auto name = word(name_number);
      if (!type || *type == 0) {
        error = "resource type out of range";
      } else if (name_number > 0 && !name) {
        error = "resource name out of range";
      } else {
        std::string path = ini_path(e.value, order.folder, ctx);
        std::string data(1, '\0');  // a missing file gives a single zero byte
        if (file_exists(path)) {
          auto bytes = pack::read_whole_file(path, error);
          if (bytes && !bytes->empty()) data = std::move(*bytes);
        }
        pe::ResourceId id = name_number > 0 ? pe::ResourceId::number(*name) : pe::ResourceId::text(e.key);
        ok = pe::put_resource(image, pe::ResourceId::number(*type), id, *lang, std::move(data), false, error);
      }
    }
    if (!ok) ctx.report("[resource] line " + line + " skipped: " + error);
  }
  if (version_seen && pe::update_version(image, tree, 1, error) != pe::VersionOutcome::Written)
    ctx.report("[resource] version lines skipped: " + error);
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
  if (order.carry_engine && !ctx.engine_library.empty() && !file_exists(ctx.engine_library)) {
    error = "the engine library " + ctx.engine_library + " to carry is not found (engine=external leaves it out)";
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
  const std::string refused = resource_editing_refused(*image);
  if (!order.icon.empty()) {
    std::string icon = ini_path(order.icon, order.folder, ctx);
    if (file_exists(icon)) {
      std::string why = refused;
      if (why.empty()) {
        auto ico = pack::read_whole_file(icon, why);
        auto resources = ico ? pe::icon_resources(*ico, kIconStart, why) : std::nullopt;
        if (resources) pe::update_main_icon(*image, *resources, kIconStart, kIconGroup, 0, why);
      }
      if (!why.empty()) ctx.report("icon " + icon + " skipped: " + why);
    }
  }
  if (!order.resource_edits.empty()) {
    if (refused.empty()) apply_resource_edits(*image, order, ctx);
    else ctx.report(std::to_string(order.resource_edits.size()) + " [resource] edit line(s) skipped: " + refused);
  }

  *image += marker;
  *image += script_bytes;
  if (order.carry_engine && !ctx.engine_library.empty()) {
    if (image->compare(0, 4, "\x7f" "ELF") != 0) {
      ctx.report("the engine is not carried: the template is no ELF program");
    } else {
      auto engine = pack::read_whole_file(ctx.engine_library, error);
      if (!engine) {
        error = "cannot read the engine library to carry: " + error;
        return false;
      }
      try {
        *image += standalone::carried_engine_block(*engine);
      } catch (const std::exception& e) {
        error = ctx.engine_library + ": " + e.what();
        return false;
      }
    }
  }
  return pack::replace_file(paths.output_path, *image, 0755, error);
}

}  // namespace qz::make
