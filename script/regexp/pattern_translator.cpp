#include "script/regexp/pattern_translator.h"
#include "com/str.h"

#include <algorithm>
#include <vector>

#include "com/error.h"

namespace qz {
namespace {

[[noreturn]] void fail(int32_t number) {
  switch (number) {
    case kErrRegexQuantifier: raise(number, u"Unexpected quantifier");
    case kErrRegexBracket: raise(number, u"Expected ']' in regular expression");
    case kErrRegexParen: raise(number, u"Expected ')' in regular expression");
    case kErrRegexRange: raise(number, u"Invalid range in character set");
    default: raise(kErrRegexSyntax, u"Syntax error in regular expression");
  }
}

struct Range {
  char16_t lo, hi;
};
using RangeList = std::vector<Range>;

// The escapes' sets, ASCII only as the language defines them.
constexpr Range kDigit[] = {{u'0', u'9'}};
constexpr Range kWord[] = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};
constexpr Range kSpace[] = {{0x09, 0x0D}, {u' ', u' '}};

constexpr uint32_t kMaxRepeat = 65535;  // PCRE2's limit for {n,m}
constexpr uint32_t kNumberCap = 1000000000;

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool is_octal(char16_t c) { return c >= u'0' && c <= u'7'; }
bool is_ascii_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool is_ascii_alnum(char16_t c) { return is_digit(c) || is_ascii_letter(c); }

void append_hex(std::u16string& out, char16_t c) {
  static const char16_t kHex[] = u"0123456789abcdef";
  out += u"\\x{";
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    int d = (c >> shift) & 0xF;
    if (d || started || shift == 0) { out.push_back(kHex[d]); started = true; }
  }
  out.push_back(u'}');
}

// A literal character, spelled so that PCRE2 reads it as that character and nothing else.
void append_literal(std::u16string& out, char16_t c) {
  if (is_ascii_alnum(c)) out.push_back(c);
  else append_hex(out, c);
}

void add_set(RangeList& ranges, const Range* set, size_t n, bool negate) {
  if (!negate) {
    ranges.insert(ranges.end(), set, set + n);
    return;
  }
  uint32_t next = 0;
  for (size_t k = 0; k < n; ++k) {
    if (set[k].lo > next) ranges.push_back({static_cast<char16_t>(next), static_cast<char16_t>(set[k].lo - 1)});
    next = set[k].hi + 1u;
  }
  if (next <= 0xFFFF) ranges.push_back({static_cast<char16_t>(next), 0xFFFF});
}

void emit_class(std::u16string& out, RangeList ranges, bool negate) {
  std::sort(ranges.begin(), ranges.end(), [](Range a, Range b) { return a.lo < b.lo; });
  RangeList merged;
  for (Range r : ranges) {
    if (!merged.empty() && r.lo <= merged.back().hi + 1u) merged.back().hi = std::max(merged.back().hi, r.hi);
    else merged.push_back(r);
  }
  // [] matches nothing; [^] and a class of every code unit ([\s\S], [\d\D]) anything. The
  // latter is spelled as a dot that takes line feeds too: a caseless compile of a class that
  // spans the whole range looks at every code unit for its other case and costs far more
  // than the search.
  const bool everything = merged.size() == 1 && merged[0].lo == 0 && merged[0].hi == 0xFFFF;
  if (merged.empty() || everything) {
    out += negate == merged.empty() ? u"(?s:.)" : u"(?:(?!))";
    return;
  }
  out += negate ? u"[^" : u"[";
  for (Range r : merged) {
    append_hex(out, r.lo);
    if (r.hi != r.lo) {
      out.push_back(u'-');
      append_hex(out, r.hi);
    }
  }
  out.push_back(u']');
}

// What a class escape (\d \D \w \W \s \S) stands for.
struct SetEscape {
  const Range* set;
  size_t n;
  bool negate;
};
bool set_escape(char16_t c, SetEscape& out) {
  switch (c) {
    case u'd': out = {kDigit, std::size(kDigit), false}; return true;
    case u'D': out = {kDigit, std::size(kDigit), true}; return true;
    case u'w': out = {kWord, std::size(kWord), false}; return true;
    case u'W': out = {kWord, std::size(kWord), true}; return true;
    case u's': out = {kSpace, std::size(kSpace), false}; return true;
    case u'S': out = {kSpace, std::size(kSpace), true}; return true;
    default: return false;
  }
}

class Translator {
 public:
  Translator(std::u16string_view p, PatternFlags flags) : p_(p), flags_(flags) {}

  TranslatedPattern run() {
    out_.reserve(p_.size() * 2 + 16);
    while (i_ < p_.size()) step();
    if (!open_.empty()) fail(kErrRegexParen);
    return {std::move(out_), groups_};
  }

 private:
  // What the output ends with, for deciding whether a quantifier may follow.
  enum Last { kNothing, kAssertion, kAtom, kQuantified };
  enum Group : uint8_t { kCapture, kPlain, kLookahead };

  bool at_end() const { return i_ >= p_.size(); }
  char16_t peek(size_t k = 0) const { return i_ + k < p_.size() ? p_[i_ + k] : 0; }

  void step() {
    char16_t c = p_[i_];
    switch (c) {
      case u'|':
        ++i_;
        out_.push_back(u'|');
        last_ = kNothing;
        return;
      case u'(': open_group(); return;
      case u')': close_group(); return;
      case u'[': char_class(); return;
      case u'.':
        ++i_;
        out_.push_back(u'.');  // compiled with LF as the only newline: everything but LF
        last_ = kAtom;
        return;
      case u'^':
        ++i_;
        out_ += flags_.multiline ? u"(?:^|(?<=[\\x{a}\\x{d}]))" : u"^";
        last_ = kAssertion;
        return;
      case u'$':
        ++i_;
        out_ += flags_.multiline ? u"(?=[\\x{a}\\x{d}]|\\z)" : u"\\z";
        last_ = kAssertion;
        return;
      case u'*': case u'+': case u'?':
        ++i_;
        quantifier(std::u16string(1, c));
        return;
      case u'{': {
        std::u16string q;
        if (brace_quantifier(q)) { quantifier(q); return; }
        ++i_;
        append_literal(out_, c);
        last_ = kAtom;
        return;
      }
      case u'\\': escape(); return;
      default:
        ++i_;
        append_literal(out_, c);
        last_ = kAtom;
        return;
    }
  }

  void open_group() {
    ++i_;
    if (peek() == u'?') {
      char16_t kind = peek(1);
      if (kind == u':') { open_.push_back(kPlain); out_ += u"(?:"; }
      else if (kind == u'=') { open_.push_back(kLookahead); out_ += u"(?:(?="; }
      else if (kind == u'!') { open_.push_back(kLookahead); out_ += u"(?:(?!"; }
      else fail(kErrRegexSyntax);  // no lookbehind, named groups or inline options
      i_ += 2;
    } else {
      open_.push_back(kCapture);
      ++groups_;
      out_.push_back(u'(');
    }
    last_ = kNothing;
  }

  void close_group() {
    if (open_.empty()) fail(kErrRegexSyntax);
    ++i_;
    out_ += open_.back() == kLookahead ? u"))" : u")";
    open_.pop_back();
    last_ = kAtom;
  }

  // {n}, {n,} or {n,m} at i_; false (nothing consumed) when the brace is a literal one.
  bool brace_quantifier(std::u16string& q) {
    size_t k = i_ + 1;
    auto number = [&](uint32_t& v) {
      if (k >= p_.size() || !is_digit(p_[k])) return false;
      v = 0;
      while (k < p_.size() && is_digit(p_[k])) {
        v = std::min<uint32_t>(v * 10 + (p_[k] - u'0'), kNumberCap);
        ++k;
      }
      return true;
    };
    uint32_t lo = 0, hi = 0;
    if (!number(lo)) return false;
    bool bounded = true;
    if (k < p_.size() && p_[k] == u',') {
      ++k;
      if (!number(hi)) bounded = false;
    } else {
      hi = lo;
    }
    if (k >= p_.size() || p_[k] != u'}') return false;
    i_ = k + 1;
    if (bounded && lo > hi) fail(kErrRegexSyntax);
    if (lo > kMaxRepeat) fail(kErrRegexSyntax);
    std::u16string n = u16_number(lo);
    if (!bounded || hi > kMaxRepeat) q = u"{" + n + u",}";
    else if (hi == lo) q = u"{" + n + u"}";
    else q = u"{" + n + u"," + u16_number(hi) + u"}";
    return true;
  }

  static std::u16string u16_number(uint32_t v) {
    std::u16string s;
    do { s.insert(s.begin(), static_cast<char16_t>(u'0' + v % 10)); v /= 10; } while (v);
    return s;
  }

  void quantifier(const std::u16string& q) {
    if (last_ != kAtom) fail(kErrRegexQuantifier);
    out_ += q;
    if (peek() == u'?') {  // lazy
      ++i_;
      out_.push_back(u'?');
    }
    last_ = kQuantified;
  }

  // Legacy octal escape at i_ (first digit 0-7): up to three digits, the value stays below 256.
  char16_t octal() {
    unsigned v = p_[i_++] - u'0';
    int more = v <= 3 ? 2 : 1;
    while (more-- > 0 && i_ < p_.size() && is_octal(p_[i_])) v = v * 8 + (p_[i_++] - u'0');
    return static_cast<char16_t>(v);
  }

  // \xHH or \uHHHH after the letter at i_; false (nothing consumed) when the digits are missing.
  bool hex_escape(int digits, char16_t& out) {
    if (i_ + 1 + digits > p_.size()) return false;
    unsigned v = 0;
    for (int k = 1; k <= digits; ++k) {
      int h = hex_digit_value(p_[i_ + k]);
      if (h < 0) return false;
      v = v * 16 + h;
    }
    i_ += 1 + digits;
    out = static_cast<char16_t>(v);
    return true;
  }

  // The escapes that stand for one character, alike inside and outside a class (the letter at
  // i_, after the backslash). False for \c without a letter: the backslash is then literal.
  bool char_escape(char16_t& out) {
    char16_t c = p_[i_];
    switch (c) {
      case u'f': out = 0x0C; break;
      case u'n': out = 0x0A; break;
      case u'r': out = 0x0D; break;
      case u't': out = 0x09; break;
      case u'v': out = 0x0B; break;  // the vertical tab only
      case u'c':
        if (!is_ascii_letter(peek(1))) return false;
        out = p_[i_ + 1] % 32;
        i_ += 2;
        return true;
      case u'x':
        if (hex_escape(2, out)) return true;
        out = c;
        break;
      case u'u':
        if (hex_escape(4, out)) return true;
        out = c;
        break;
      default: out = c; break;  // an escaped character with no meaning is itself
    }
    ++i_;
    return true;
  }

  void escape() {
    ++i_;
    if (at_end()) fail(kErrRegexSyntax);
    char16_t c = p_[i_];
    SetEscape set;
    if (set_escape(c, set)) {
      ++i_;
      RangeList ranges;
      add_set(ranges, set.set, set.n, false);
      // Case folding must not widen \w and \W (the Kelvin sign is no word character).
      bool fold_guard = flags_.unicode_props && (c == u'w' || c == u'W');
      if (fold_guard) out_ += u"(?-i:";
      emit_class(out_, std::move(ranges), set.negate);
      if (fold_guard) out_ += u")";
      last_ = kAtom;
      return;
    }
    if (c == u'b' || c == u'B') {
      ++i_;
      if (!flags_.unicode_props) {
        out_ += c == u'b' ? u"\\b" : u"\\B";
      } else {
        static constexpr char16_t kW[] = u"[0-9A-Z_a-z]";
        std::u16string w(kW);
        std::u16string boundary =
            u"(?<!" + w + u")(?=" + w + u")|(?<=" + w + u")(?!" + w + u")";
        out_ += c == u'b' ? u"(?-i:" + boundary + u")" : u"(?-i:(?!" + boundary + u"))";
      }
      last_ = kAssertion;
      return;
    }
    if (is_digit(c)) {
      decimal_escape();
      last_ = kAtom;
      return;
    }
    char16_t ch;
    if (!char_escape(ch)) ch = u'\\';  // \c without a letter: a backslash, then the c itself
    append_literal(out_, ch);
    last_ = kAtom;
  }

  // \0, \n, \nm, \nml: a back-reference when that many groups precede it, else a legacy
  // octal escape, else the digit itself.
  void decimal_escape() {
    char16_t c = p_[i_];
    if (c == u'0') {
      if (is_octal(peek(1))) append_literal(out_, octal());
      else { ++i_; append_literal(out_, 0); }
      return;
    }
    size_t len = 0;
    while (i_ + len < p_.size() && len < 5 && is_digit(p_[i_ + len])) ++len;
    for (size_t take = len; take > 0; --take) {
      uint32_t n = 0;
      for (size_t k = 0; k < take; ++k) n = n * 10 + (p_[i_ + k] - u'0');
      if (n >= 1 && n <= groups_) {
        i_ += take;
        out_ += u"(?:\\g{" + u16_number(n) + u"})";
        return;
      }
    }
    if (is_octal(c)) append_literal(out_, octal());
    else { ++i_; append_literal(out_, c); }
  }

  // One member of a class at i_: a character (returns true) or a set escape.
  bool class_atom(char16_t& ch, SetEscape& set) {
    char16_t c = p_[i_];
    if (c != u'\\') { ++i_; ch = c; return true; }
    ++i_;
    if (at_end()) fail(kErrRegexBracket);
    c = p_[i_];
    if (set_escape(c, set)) { ++i_; return false; }
    if (c == u'b') { ++i_; ch = 0x08; return true; }  // backspace inside a class
    if (is_digit(c)) {
      if (is_octal(c)) ch = octal();
      else { ++i_; ch = c; }
      return true;
    }
    if (!char_escape(ch)) ch = u'\\';
    return true;
  }

  void char_class() {
    ++i_;
    bool negate = false;
    if (peek() == u'^' && i_ < p_.size()) { negate = true; ++i_; }
    RangeList ranges;
    for (;;) {
      if (at_end()) fail(kErrRegexBracket);
      if (p_[i_] == u']') { ++i_; break; }
      char16_t a = 0, b = 0;
      SetEscape sa{}, sb{};
      bool a_char = class_atom(a, sa);
      if (peek() == u'-' && i_ + 1 < p_.size() && p_[i_ + 1] != u']') {
        ++i_;
        bool b_char = class_atom(b, sb);
        if (a_char && b_char) {
          if (a > b) fail(kErrRegexRange);
          ranges.push_back({a, b});
          continue;
        }
        // A range with a set at either end is the set, a '-' and the other member.
        if (a_char) ranges.push_back({a, a}); else add_set(ranges, sa.set, sa.n, sa.negate);
        ranges.push_back({u'-', u'-'});
        if (b_char) ranges.push_back({b, b}); else add_set(ranges, sb.set, sb.n, sb.negate);
        continue;
      }
      if (a_char) ranges.push_back({a, a}); else add_set(ranges, sa.set, sa.n, sa.negate);
    }
    emit_class(out_, std::move(ranges), negate);
    last_ = kAtom;
  }

  std::u16string_view p_;
  PatternFlags flags_;
  size_t i_ = 0;
  std::u16string out_;
  uint32_t groups_ = 0;
  std::vector<Group> open_;
  Last last_ = kNothing;
};

}  // namespace

TranslatedPattern translate_pattern(std::u16string_view pattern, PatternFlags flags) {
  return Translator(pattern, flags).run();
}

}  // namespace qz
