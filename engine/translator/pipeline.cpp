#include "engine/translator/pipeline.h"

#include <algorithm>
#include <vector>

#include "com/str.h"
#include "engine/translator/declare_method.h"
#include "engine/translator/includes.h"
#include "engine/translator/libraries.h"
#include "engine/translator/match_operator.h"
#include "engine/translator/module_builder.h"
#include "engine/translator/path_macros.h"
#include "engine/translator/russian_keywords.h"
#include "engine/translator/script_source.h"
#include "engine/translator/source_lines.h"
#include "engine/translator/text_util.h"
#include "engine/translator/type_translator.h"

namespace qz::tr {

namespace {

// Removes every match of `pattern`; returns the matches.
std::vector<RegexMatch> cut(std::u16string& text, std::u16string_view pattern) {
  Regex rx;
  configure(rx, pattern, true);
  std::vector<RegexMatch> found = rx.execute(text);
  if (!found.empty()) text = remove_matches(text, found);
  return found;
}

void replace_every(std::u16string& text, std::u16string_view pattern, std::u16string_view replacement) {
  Regex rx;
  configure(rx, pattern, true);
  text = rx.replace(text, replacement);
}

bool contains(std::u16string_view text, std::u16string_view pattern) {
  Regex rx;
  configure(rx, pattern, true);
  return rx.test(text);
}

// Whether `end` (CR or LF) comes twice with nothing but line marks between: the runs that
// the blank-line removal looks for.
bool doubled_line_end(std::u16string_view text, char16_t end) {
  for (size_t i = text.find(end); i != std::u16string_view::npos; i = text.find(end, i + 1)) {
    size_t k = i + 1;
    while (k < text.size() && is_mark_char(text[k])) ++k;
    if (k < text.size() && text[k] == end) return true;
  }
  return false;
}

void apply_run_levels(std::u16string& text, Context& ctx, bool own_directives) {
  TranslatorState& st = ctx.state;
  const bool any_directive = may_hold(text, u"\n<#--levelrun=");
  std::vector<RegexMatch> found;
  if (any_directive) {
    Regex any;
    configure(any, u"\\n<#--LevelRun=([a-z0-9_]*)>", true);
    found = any.execute(text);
  }
  if (own_directives) {
    for (const RegexMatch& m : found) {
      bool known = false;
      for (int i = 0; i < kRunLevelCount; ++i)
        if (iequals(m.groups[0].value, run_level_word(static_cast<RunLevel>(i)))) {
          ctx.result.run_levels_stated.set(static_cast<RunLevel>(i));
          known = true;
        }
      if (!known) ctx.result.unknown_run_levels.push_back(m.groups[0].value);
    }
  }
  if (st.run_level_latch) return;
  st.run_level_latch = true;
  ctx.result.run_levels_applied = true;
  if (!found.empty()) {
    for (int i = 0; i < kRunLevelCount; ++i) {
      RunLevel level = static_cast<RunLevel>(i);
      if (!contains(text, u"\\n<#--LevelRun=" + std::u16string(run_level_word(level)) + u">")) continue;
      st.run_levels.set(level);
      if (level == RunLevel::NoUI) ctx.result.allow_ui_off = true;
    }
  }
  if (any_directive) cut(text, u"\\n<#--LevelRun=[a-z0-9_]*>" + std::u16string(mark_pattern()));
}

}  // namespace

void translate_unit(std::string_view bytes, std::u16string_view module_name, ModuleRole role, Context& ctx) {
  TranslatorState& st = ctx.state;
  const bool own = ctx.library_depth == 0;  // the script itself (and its includes), not a library

  ScriptSource src = load_script_source(bytes, st.module_counter + 1, st.resources, ctx.result.resources);
  if (src.damaged) {
    ctx.messenger.add(TranslatorMessage::Kind::DamagedScript, module_name);
    return;
  }
  // Errors in the script itself name only the line; in a library, its file too.
  mark_lines(src.text, own && role == ModuleRole::Main ? std::u16string() : file_name_of(module_name), src.first_line,
             *ctx.source_lines);
  std::u16string text = u"\r\n" + normalize_line_feeds(ctx.settings.add_code) + u"\r\n" + src.text + u" ";
  src.text.clear();
  st.end_requested = false;

  guarded(ctx, [&] {
    if (text.find(u'_') != std::u16string::npos)
      replace_every(text, u"_[ \\x09]*" + std::u16string(mark_pattern()) + u"\\r\\n", u"");
  });
  if (!st.run_levels[RunLevel::NoInclude]) guarded(ctx, [&] { text = expand_includes(text, module_name, ctx); });
  guarded(ctx, [&] {
    if (!may_hold(text, u"\n<#--addrus>") || !contains(text, u"\\n<#--AddRus>")) return;
    if (own) ctx.result.add_rus = true;
    text = translate_russian(text);
    cut(text, u"\\n<#--AddRus>" + std::u16string(mark_pattern()));
  });
  guarded(ctx, [&] {
    if (!may_hold(text, u"\n<#--develop=\"")) return;
    std::vector<RegexMatch> found = cut(text, u"\\n<#--Develop=\\\"([^\\\"]+)\\\">" + std::u16string(mark_pattern()));
    if (found.empty()) return;
    if (st.develop_address == st.develop_address_default) st.develop_address = found[0].groups[0].value;
    if (own)
      for (const RegexMatch& m : found) ctx.result.develop_addresses.push_back(m.groups[0].value);
  });
  guarded(ctx, [&] {
    if (!may_hold(text, u"\n<#--noshowerror>")) return;
    if (cut(text, u"\\n<#--NoShowError>" + std::u16string(mark_pattern())).empty()) return;
    st.no_show_error = true;
    if (own) ctx.result.no_show_error = true;
  });
  // Messages about includes wait until the script had its say on error display.
  ctx.messenger.flush();
  guarded(ctx, [&] { apply_run_levels(text, ctx, own); });

  std::vector<std::u16string> libraries;
  guarded(ctx, [&] {
    if (!may_hold(text, u"\n#lib ")) return;
    for (const RegexMatch& m : cut(text, u"\\n#Lib +<([^>]+)>" + std::u16string(mark_pattern()))) {
      libraries.push_back(expand_path_macros(m.groups[0].value, ctx.settings, ctx.host));
      ctx.result.libraries.push_back(libraries.back());
    }
  });

  std::u16string wrappers;
  guarded(ctx, [&] { wrappers = rewrite_declares(text, st.run_levels[RunLevel::NoDLL]); });
  guarded(ctx, [&] { rewrite_methods(text); });
  // Only the text's start (MultiLine is off), and neither character has another case.
  guarded(ctx, [&] {
    // What "^#![^\r]+" removes: the #! line up to its CR, when anything follows the "#!".
    if (!text.starts_with(u"#!")) return;
    size_t end = std::min(text.find(u'\r', 2), text.size());
    if (end > 2) text.erase(0, end);
  });
  guarded(ctx, [&] {
    // Line marks between the line ends do not stand in the way: what is removed would have
    // been removed without them (the marks of lines removed go too).
    const std::u16string marks(mark_pattern());
    if (doubled_line_end(text, u'\r')) replace_every(text, u"\\r(?:" + marks + u"\\r){1,99}", u"");
    // A run of line feeds keeps one: removing it whole would glue a section tag to the line
    // before it (an empty line, a directive line, then a tag), and the tag would be lost.
    if (doubled_line_end(text, u'\n')) replace_every(text, u"\\n(?:" + marks + u"\\n){1,99}", u"\n");
    // Line ends and line marks at the very start go.
    size_t lead = 0;
    while (lead < text.size() && (text[lead] == u'\r' || text[lead] == u'\n' || is_mark_char(text[lead]))) ++lead;
    text.erase(0, lead);
  });
  text.insert(0, kCrLf);
  guarded(ctx, [&] { translate_types(text); });
  guarded(ctx, [&] { rewrite_match_operators(text); });
  guarded(ctx, [&] { rewrite_match_references(text); });
  guarded(ctx, [&] { unescape_match_references(text); });

  int number = 0;
  guarded(ctx, [&] { number = build_module(text, module_name, role, wrappers, ctx); });
  if (own && ctx.result.main_module == 0) ctx.result.main_module = number;
  load_libraries(libraries, ctx);
}

}  // namespace qz::tr
