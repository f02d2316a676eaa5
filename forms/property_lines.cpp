#include "forms/property_lines.h"

#include <optional>
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

// The text of a piece that is one string literal ("a ""b"", c" is a ""b"", c); nothing when
// it is anything else. A literal's text is taken as it stands, never handed to the evaluator.
std::optional<std::u16string> string_literal(std::u16string_view piece) {
  piece = trim_blanks(piece);
  if (piece.size() < 2 || piece.front() != u'"' || piece.back() != u'"') return std::nullopt;
  std::u16string text;
  for (size_t i = 1; i + 1 < piece.size(); ++i) {
    if (piece[i] == u'"') {
      if (i + 2 >= piece.size() || piece[i + 1] != u'"') return std::nullopt;  // ends early
      ++i;
    }
    text += piece[i];
  }
  return text;
}

// Evaluates `text`; on failure keeps the text itself.
Variant eval_or_text(std::u16string_view text, const ExpressionEvaluator& eval) {
  if (auto literal = string_literal(text)) return Variant(std::move(*literal));
  try {
    return eval(text);
  } catch (...) {
    return Variant(std::u16string(text));
  }
}

// The pieces of a method line's argument text: split at commas that stand outside string
// literals and parentheses, so text the user quoted never becomes code of its own.
std::vector<std::u16string_view> split_arguments(std::u16string_view text) {
  std::vector<std::u16string_view> pieces;
  size_t start = 0;
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'"') quoted = !quoted;  // a doubled quote toggles twice and stays inside
    else if (quoted) continue;
    else if (c == u'(') ++depth;
    else if (c == u')' && depth > 0) --depth;
    else if (c == u',' && depth == 0) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(text.substr(start));
  return pieces;
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
    std::vector<std::u16string_view> pieces = split_arguments(value);
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
