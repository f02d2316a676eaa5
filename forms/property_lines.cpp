#include "forms/property_lines.h"

#include <string>
#include <vector>

#include "runtime/helpers/value_helpers.h"
#include "script/regexp/regex.h"

namespace qz {

namespace {

constexpr size_t kMaxMethodArguments = 10;

std::u16string_view trim_blanks(std::u16string_view s) {
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

// Evaluates `text`; on failure keeps the text itself.
Variant eval_or_text(std::u16string_view text, const ExpressionEvaluator& eval) {
  try {
    return eval(text);
  } catch (...) {
    return Variant(std::u16string(text));
  }
}

}  // namespace

void apply_property_line(Object& element, std::u16string_view line, const ExpressionEvaluator& eval) {
  try {
    Regex re;
    re.set_global(false);
    re.set_ignore_case(true);
    re.set_pattern(u"(\\~?)([a-z0-9_]+) ?(=?) ?(.+)");
    std::vector<RegexMatch> found = re.execute(line);
    if (found.empty() || found[0].groups.size() < 4) return;
    const RegexMatch& m = found[0];
    bool evaluate = m.groups[0].value == u"~";
    std::u16string name = m.groups[1].value;
    bool assign = m.groups[2].value == u"=";
    std::u16string value = m.groups[3].value;

    DispId id = element.find_member(name);
    if (id == kDispUnknown) return;
    if (assign) {
      if (evaluate && !value.empty() && value[0] == u'~') {
        Variant v = eval_or_text(std::u16string_view(value).substr(1), eval);
        if (!v.is_object()) return;  // not an object: the property keeps its value
        std::vector<Variant> a{v};
        element.invoke(id, kSet, Args(a));
      } else {
        std::vector<Variant> a{evaluate ? eval_or_text(value, eval) : Variant(value)};
        element.invoke(id, kLet, Args(a));
      }
      return;
    }
    std::vector<std::u16string_view> pieces;
    std::u16string_view rest = value;
    for (;;) {
      size_t comma = rest.find(u',');
      pieces.push_back(rest.substr(0, comma));
      if (comma == std::u16string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    if (pieces.size() > kMaxMethodArguments) return;
    std::vector<Variant> a;
    for (std::u16string_view piece : pieces) {
      if (!evaluate) a.emplace_back(leading_number(trim_blanks(piece)));
      else if (!piece.empty() && piece[0] == u'~') a.push_back(eval_or_text(piece.substr(1), eval));
      else a.push_back(eval_or_text(piece, eval));
    }
    element.invoke(id, kMethod, Args(a));
  } catch (...) {
  }
}

}  // namespace qz
