#include "engine/translator/match_operator.h"

#include <vector>

#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

constexpr std::u16string_view kOperator = uR"re(([a-z][a-z0-9\_\.\(\)]*) *=~ *([igm]*)\/(.*?[^\\])\/(.*)\/)re";
constexpr std::u16string_view kReference = uR"re(([^\$])(\$|\^\^)(\d+)\_*(\d*))re";
constexpr std::u16string_view kEscape = uR"re(\$\$(\d+))re";

bool has_flag(const std::u16string& flags, char16_t letter) {
  for (char16_t c : flags)
    if ((c | 0x20) == letter) return true;
  return false;
}

// The text that replaces one operator, as a replacement template: the script's replacement
// has each "$" doubled twice so that a single "$$" reaches the text.
std::u16string operator_template(const RegexMatch& m) {
  const std::u16string& target = m.groups[0].value;
  const std::u16string& flags = m.groups[1].value;
  const std::u16string& pattern = m.groups[2].value;
  const std::u16string& replacement = m.groups[3].value;
  const bool ignore_case = has_flag(flags, u'i'), global = has_flag(flags, u'g'), expressions = has_flag(flags, u'm');
  std::u16string repl = replace_all(replace_all(replacement, u"$$", u"^^"), u"$", u"$$$$");
  std::u16string quote = expressions ? u"" : u"\"";
  if (!expressions && repl == u"\"\"") repl.clear();
  std::u16string tail = u",\"" + std::u16string(ignore_case ? u"True" : u"False") + u"\",\"" +
                        std::u16string(global ? u"True" : u"False") + u"\")";
  if (!replacement.empty())
    return target + u" = sys.rxp_rpl(" + target + u"," + quote + pattern + quote + u"," + quote + repl + quote + tail;
  return u"sys.rxp_cmp(" + target + u"," + quote + pattern + quote + tail;
}

}  // namespace

void rewrite_match_operators(std::u16string& text) {
  if (text.find(u"=~") == std::u16string::npos) return;
  Regex rx;
  configure(rx, kOperator, false);
  // An operator lies within one line, its line feed included, except when the character
  // before the pattern's closing "/" is that line feed: a line with "=~" is therefore
  // rewritten together with the lines after it that begin with "/", first match first,
  // until none is left.
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    end = end == std::u16string::npos ? text.size() : end + 1;
    std::u16string_view unit(text.data() + start, end - start);
    if (unit.find(u"=~") != std::u16string_view::npos) {
      while (end < text.size() && text[end] == u'/') {
        size_t next = text.find(u'\n', end);
        end = next == std::u16string::npos ? text.size() : next + 1;
      }
      std::u16string current(text, start, end - start);
      // Each rewrite consumes one "=~": no more rounds than the lines hold of them, so that a
      // replacement bringing "=~" back (through a "$" reference) cannot grow them for ever.
      size_t operators = 0;
      for (size_t p = current.find(u"=~"); p != std::u16string::npos; p = current.find(u"=~", p + 2)) ++operators;
      for (size_t rounds = 0; rounds < operators; ++rounds) {
        std::vector<RegexMatch> m = rx.execute(current);
        if (m.empty()) break;
        current = rx.replace(current, operator_template(m[0]));
      }
      out += current;
    } else {
      out.append(unit);
    }
    start = end;
  }
  text = std::move(out);
}

void rewrite_match_references(std::u16string& text) {
  if (text.find(u'$') == std::u16string::npos && text.find(u"^^") == std::u16string::npos) return;
  Regex rx;
  configure(rx, kReference, false);
  std::u16string out;
  size_t pos = 0, copy_from = 0;
  while (pos < text.size()) {
    std::vector<RegexMatch> found = rx.execute(std::u16string_view(text).substr(pos));
    if (found.empty()) break;
    const RegexMatch& m = found[0];
    size_t at = pos + m.index;
    // A reference may follow the one just rewritten: its leading character is then the ")"
    // that ended that call, already written (the source holds a digit or "_" there, which
    // matches the same way).
    if (at >= copy_from) {
      out.append(text, copy_from, at - copy_from);
      out.push_back(text[at]);
    }
    std::u16string args = m.groups[2].value;
    if (!m.groups[3].value.empty()) args += u"," + m.groups[3].value;
    if (m.groups[1].value == u"$") out += u"sys.rxp_param(" + args + u")";
    else out += u"str_from_eval(\"sys.rxp_param(" + args + u")\")";
    copy_from = at + m.length;
    pos = copy_from - 1;
  }
  if (copy_from == 0) return;
  out.append(text, copy_from, std::u16string::npos);
  text = std::move(out);
}

void unescape_match_references(std::u16string& text) {
  if (text.find(u"$$") == std::u16string::npos) return;
  Regex rx;
  configure(rx, kEscape, true);
  std::vector<RegexMatch> matches = rx.execute(text);
  if (matches.empty()) return;
  // Rewriting "$$5" to "$5" again and again until none is left turns any run of two or more
  // dollar signs before digits into one.
  std::u16string out;
  size_t done = 0;
  for (const RegexMatch& m : matches) {
    size_t from = m.index;
    while (from > done && text[from - 1] == u'$') --from;
    out.append(text, done, from - done);
    out += u"$" + m.groups[0].value;
    done = m.index + m.length;
  }
  out.append(text, done, std::u16string::npos);
  text = std::move(out);
}

}  // namespace qz::tr
