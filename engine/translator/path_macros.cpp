#include "engine/translator/path_macros.h"

#include <optional>

#include "com/str.h"
#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

std::u16string without_last_char(std::u16string_view s) { return std::u16string(s.substr(0, s.size() - 1)); }

std::optional<std::u16string> macro_value(std::u16string_view name, const TranslatorSettings& s, TranslatorHost& host) {
  auto known = [](const std::u16string& v) { return v.empty() ? std::nullopt : std::optional<std::u16string>(v); };
  if (name == u"qz_system") return known(s.system_folder);
  if (name == u"qz_windows") return known(s.windows_folder);
  if (name == u"qz_temp") return known(s.temp_folder);
  if (name == u"qz_path") return s.script_folder.empty() ? std::nullopt : std::optional(without_last_char(s.script_folder));
  if (name == u"qz_pathengine") return s.engine_folder.empty() ? std::nullopt : std::optional(without_last_char(s.engine_folder));
  if (name == u"qz_lib") return s.engine_folder.empty() ? std::nullopt : std::optional(s.engine_folder + u"Lib");
  std::optional<std::u16string> env = host.environment(name);
  if (env) {
    std::u16string clean;
    for (char16_t c : *env)
      if (c != u'\r' && c != u'\n') clean.push_back(c);
    return clean;
  }
  return std::nullopt;
}

}  // namespace

std::u16string expand_path_macros(std::u16string_view path, const TranslatorSettings& settings, TranslatorHost& host) {
  std::u16string text = lower(path);
  if (text.find(u'%') == std::u16string::npos) return text;
  Regex rx;
  configure(rx, u"%([^%]+)%", true);
  for (const RegexMatch& m : rx.execute(std::u16string(text))) {
    const std::u16string& name = m.groups[0].value;
    if (std::optional<std::u16string> value = macro_value(name, settings, host))
      text = replace_all(text, u"%" + name + u"%", *value);
  }
  return text;
}

}  // namespace qz::tr
