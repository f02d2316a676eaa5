#include "engine/translator/includes.h"

#include <algorithm>
#include <vector>

#include "engine/translator/path_macros.h"
#include "engine/translator/script_file_read.h"
#include "engine/translator/script_source.h"
#include "engine/translator/source_lines.h"
#include "engine/translator/text_util.h"
#include "platform/path.h"

namespace qz::tr {

namespace {

using Kind = TranslatorMessage::Kind;

// Not rooted: no leading slash or backslash and no drive letter.
bool is_relative(std::u16string_view path) {
  if (path.empty() || path[0] == u'/' || path[0] == u'\\') return false;
  return !(path.size() >= 2 && path[1] == u':');
}

// The message for an include file that was found but not read.
Kind unreadable_include(const std::string& os_path) {
  switch (script_file_problem(os_path)) {
    case ScriptFileRead::NotRegular: return Kind::IncludeNotRegular;
    case ScriptFileRead::TooLarge: return Kind::IncludeFileTooLarge;
    default: return Kind::MissingInclude;
  }
}

struct Expander {
  Context& ctx;
  Regex rx;
  std::vector<std::string> chain;   // OS paths of the files being expanded, outermost first
  size_t total = 0;                 // code units of text inserted so far
  bool too_large = false;

  explicit Expander(Context& c) : ctx(c) { configure(rx, u"\\n#Include\\ +\\\"([^\\\"]+)\\\"", true); }

  // Appends `text` with every directive replaced to `out`; a directive's leading line feed is
  // kept when the file goes in, dropped with the directive otherwise. Nested files append to
  // the same text, so nothing is copied twice. The first `skip` characters of `text` are
  // already at the end of `out`.
  void expand(std::u16string_view text, std::u16string& out, size_t skip = 0) {
    std::vector<RegexMatch> matches = rx.execute(text);
    size_t done = skip;
    for (const RegexMatch& m : matches) {
      const bool line_feed_out = m.index < skip;
      if (!line_feed_out) out.append(text.substr(done, m.index - done));
      done = m.index + m.length;
      const std::u16string& name = m.groups[0].value;
      if (name.find_first_of(u"\r\n") != std::u16string::npos) {  // not a file name: leave the text
        out.append(std::u16string_view(m.value).substr(line_feed_out ? 1 : 0));
        continue;
      }
      if (!include(name, out, line_feed_out) && line_feed_out) out.pop_back();
    }
    out.append(text.substr(done));
  }

  // Appends a line feed (unless `line_feed_out`) and the expanded text of the file `name`
  // names; false (and a queued message) when it cannot go in.
  bool include(const std::u16string& name, std::u16string& out, bool line_feed_out) {
    std::u16string path = expand_path_macros(name, ctx.settings, ctx.host);
    if (too_large) return false;
    std::optional<std::string> os = ctx.host.find_file(path);
    // A relative name that the current folder does not have is looked for beside the script,
    // so a script started from another folder still finds the files it keeps next to it.
    if (!os && is_relative(path) && !ctx.settings.script_folder.empty())
      os = ctx.host.find_file(ctx.settings.script_folder + path);
    std::optional<std::string> bytes = os ? ctx.host.read_file(*os) : std::nullopt;
    if (!bytes) {
      ctx.messenger.add(os ? unreadable_include(*os) : Kind::MissingInclude, name);
      return false;
    }
    if (std::find(chain.begin(), chain.end(), *os) != chain.end()) {
      ctx.messenger.add(Kind::IncludeCycle, name);
      return false;
    }
    if (static_cast<int>(chain.size()) >= kMaxIncludeDepth) {
      ctx.messenger.add(Kind::IncludeTooDeep, name);
      return false;
    }
    ScriptSource src = load_script_source(*bytes, ctx.state.module_counter + 1, ctx.state.resources, ctx.result.resources);
    if (src.damaged) {
      ctx.messenger.add(Kind::DamagedScript, name);
      return false;
    }
    if (total + src.text.size() > kMaxTextUnits) {
      too_large = true;
      ctx.messenger.add(Kind::IncludeTooLarge, name);
      return false;
    }
    total += src.text.size();
    ctx.result.includes.push_back(script_path(*os));
    mark_lines(src.text, file_name_of(name), src.first_line, *ctx.source_lines);
    chain.push_back(*os);
    // The file's first line follows the kept line feed, so its directives are found too.
    if (!line_feed_out) out.push_back(u'\n');
    src.text.insert(0, 1, u'\n');
    expand(src.text, out, 1);
    chain.pop_back();
    return true;
  }
};

}  // namespace

std::u16string expand_includes(std::u16string_view text, std::u16string_view module_name, Context& ctx) {
  if (!may_hold(text, u"\n#include ")) return std::u16string(text);
  Expander e(ctx);
  if (std::optional<std::string> self = ctx.host.find_file(module_name)) e.chain.push_back(*self);
  std::u16string out;
  out.reserve(text.size());
  e.expand(text, out);
  return out;
}

}  // namespace qz::tr
