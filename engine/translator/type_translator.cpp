#include "engine/translator/type_translator.h"

#include <vector>

#include "com/str.h"
#include "engine/translator/source_lines.h"
#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

constexpr std::u16string_view kTypeBlock = u"\\n(private |public )*type +([a-z0-9_]+)([\\d\\D]+?)end type";
constexpr std::u16string_view kFieldLine =
    u"^[ \\t\\v]*([a-z0-9_]+)\\(*(\\d*)\\)*\\ *as\\ *(var|long|string|integer|byte|single|double|currency|[^\\ ]+)"
    u"\\ *\\**\\ *(\\d*)";
constexpr std::u16string_view kPlainType = u"var|long|string|integer|byte|single|double|currency";
constexpr std::u16string_view kTypedDim = u"Dim +([a-z0-9_]+)\\(*([a-z0-9_]*)\\)*\\ +as\\ +(new )*([a-z0-9_]+)";

std::u16string trim_blanks(std::u16string_view s) {
  size_t b = s.find_first_not_of(u' ');
  if (b == std::u16string_view::npos) return {};
  size_t e = s.find_last_not_of(u' ');
  return std::u16string(s.substr(b, e - b + 1));
}

// Types that are values, not classes: no object is created for them.
bool intrinsic_type(std::u16string_view type) {
  static constexpr std::u16string_view kNames[] = {u"var", u"variant", u"long", u"string", u"integer", u"byte",
                                                   u"single", u"double", u"currency", u"boolean", u"date", u"object"};
  std::u16string t = lower(trim_blanks(type));
  for (auto n : kNames)
    if (t == n) return true;
  return false;
}

struct TypeClassBuilder {
  Regex field, plain;
  TypeClassBuilder() {
    configure(field, kFieldLine, false);
    configure(plain, kPlainType, false);
  }

  std::u16string build(const std::u16string& type_name, std::u16string_view body) {
    std::u16string layout, cases, members, inits;
    bool any = false;
    for (std::u16string_view marked : split_crlf(body)) {
      // The type becomes a class of other lines: the fields' line marks have nothing to name.
      std::u16string line(marked);
      strip_marks(line);
      if (line.empty()) continue;
      std::vector<RegexMatch> m = field.execute(line);
      if (m.empty()) continue;
      const std::u16string& raw_name = m[0].groups[0].value;
      const std::u16string& bound = m[0].groups[1].value;
      const std::u16string& raw_type = m[0].groups[2].value;
      const std::u16string& fixed = m[0].groups[3].value;
      std::u16string name = trim_blanks(raw_name), type = trim_blanks(raw_type);
      if (any) layout += u"~";
      layout += raw_type + u"*" + raw_name + u"*" + bound + u"*" + fixed;
      any = true;
      if (lower(raw_type) == u"string") {
        cases += u"      case \"" + raw_name + u"\"\r\n";
        cases += u"        class_vars_strptr = sys.cstrptr(" + raw_name + (bound.empty() ? u")" : u"(value))") + u"\r\n";
      }
      members += u"  Dim " + name + (bound.empty() ? u"" : u"(" + bound + u")") + u"\r\n";
      if (!plain.test(raw_type) && !intrinsic_type(raw_type)) {
        if (bound.empty()) {
          inits += u"    Set " + name + u" = New " + type + u"\r\n";
        } else {
          inits += u"    For qz_t_vc = 0 To " + bound + u"\r\n";
          inits += u"       Set " + name + u"(qz_t_vc) = New " + type + u"\r\n";
          inits += u"    Next\r\n";
        }
      }
    }
    std::u16string c = u"Class " + type_name + u"\r\n" + members;
    c += u"\r\n  Dim class_vars_all\r\n  Dim class_vars_buf\r\n\r\n";
    c += u"  Function Class_Vars_StrPtr(var, value)\r\n    Select Case var\r\n" + cases;
    c += u"    End Select\r\n  End Function\r\n\r\n  Private Sub Class_Initialize\r\n";
    if (any) c += u"    class_vars_all = \"" + layout + u"\"\r\n";
    c += inits + u"  End Sub\r\nEnd Class\r\n";
    return c;
  }
};

// Each block is replaced by its class together with the two characters after "end type"
// (normally the CR LF ending that line); the line feed that began the block is dropped too.
void translate_type_blocks(std::u16string& text) {
  if (!may_hold(text, u"type ")) return;
  Regex block;
  // The marks ending the "end type" line go with the block.
  configure(block, std::u16string(kTypeBlock) + std::u16string(mark_pattern()), false);
  if (!block.test(text)) return;
  TypeClassBuilder builder;
  std::u16string out;
  size_t pos = 0;           // search from here
  size_t copy_from = 0;     // source text not yet copied
  while (pos < text.size()) {
    std::vector<RegexMatch> m = block.execute(std::u16string_view(text).substr(pos));
    if (m.empty()) break;
    size_t at = pos + m[0].index;
    if (at < copy_from) out.pop_back();  // the block begins at the class text's final line feed
    else out.append(text, copy_from, at - copy_from);
    out += builder.build(m[0].groups[1].value, m[0].groups[2].value);
    copy_from = std::min(text.size(), at + m[0].length + 2);
    if (copy_from == 0 || copy_from >= text.size()) { copy_from = text.size(); break; }
    // Later blocks can start at the line feed that ends the class just written; the source
    // character before copy_from is already consumed, so it stands in for that line feed.
    text[copy_from - 1] = u'\n';
    pos = copy_from - 1;
  }
  out.append(text, copy_from, std::u16string::npos);
  text = std::move(out);
}

// Whether position `at` starts a statement: only blanks since the line start or since a ":"
// outside a string literal, and not inside a comment. Positions must be asked in order.
class StatementStarts {
 public:
  explicit StatementStarts(std::u16string_view text) : text_(text) {}
  bool at(size_t target) {
    for (; pos_ < target; ++pos_) step(text_[pos_]);
    return start_ && !in_string_ && !comment_;
  }

 private:
  void step(char16_t c) {
    if (c == u'\n' || c == u'\r') {
      in_string_ = comment_ = false;
      start_ = true;
      return;
    }
    if (comment_) return;
    if (in_string_) {
      if (c == u'"') in_string_ = false;
      return;
    }
    if (c == u'"') { in_string_ = true; start_ = false; return; }
    if (c == u'\'') { comment_ = true; return; }
    if (c == u':') { start_ = true; return; }
    if (c == u' ' || c == u'\t') return;
    if (start_ && (c == u'r' || c == u'R') && rem_at(pos_)) { comment_ = true; return; }
    start_ = false;
  }
  bool rem_at(size_t i) const {
    if (i + 3 > text_.size() || !iequals(text_.substr(i, 3), u"rem")) return false;
    return i + 3 == text_.size() || text_[i + 3] == u' ' || text_[i + 3] == u'\t' || text_[i + 3] == u'\r' || text_[i + 3] == u'\n';
  }

  std::u16string_view text_;
  size_t pos_ = 0;
  bool start_ = true, in_string_ = false, comment_ = false;
};

void translate_typed_dims(std::u16string& text) {
  if (!may_hold(text, u"dim ") || !may_hold(text, u" as ")) return;
  Regex dim;
  configure(dim, kTypedDim, true);
  std::vector<RegexMatch> matches = dim.execute(text);
  if (matches.empty()) return;
  StatementStarts starts(text);
  std::u16string out;
  size_t done = 0;
  for (const RegexMatch& m : matches) {
    if (!starts.at(m.index)) continue;
    const std::u16string& name = m.groups[0].value;
    const std::u16string& bound = m.groups[1].value;
    const std::u16string& cls = m.groups[3].value;
    out.append(text, done, m.index - done);
    done = m.index + m.length;
    if (intrinsic_type(cls)) {
      if (!bound.empty()) out += u"ReDim " + name + u"(" + bound + u")\r\n";
      else out += u"Dim " + name + (m.value.find(u'(') != std::u16string::npos ? u"()" : u"") + u"\r\n";
    } else if (!bound.empty()) {
      out += u"ReDim " + name + u"(" + bound + u")\r\n";
      out += u"For qz_d_vc = 0 To " + bound + u"\r\n";
      out += u"   Set " + name + u"(qz_d_vc) = New " + cls + u"\r\n";
      out += u"Next\r\n";
    } else {
      out += u"Dim " + name + u"\r\n";
      out += u"Set " + name + u" = New " + cls + u"\r\n";
    }
  }
  out.append(text, done, std::u16string::npos);
  text = std::move(out);
}

}  // namespace

void translate_types(std::u16string& text) {
  translate_type_blocks(text);
  translate_typed_dims(text);
}

}  // namespace qz::tr
