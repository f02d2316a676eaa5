#include "script/lexer.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <algorithm>
#include <iterator>

#include "com/convert.h"
#include "script/diagnostics.h"

namespace qz::vbs {
namespace {

struct ReservedWord {
  std::u16string_view key;
  Tok kind;
};

// Sorted by key: the lexer looks up every name it meets, so a binary search over a constant
// table, with no hashing and nothing built at run time.
constexpr ReservedWord kReservedWords[] = {
    {u"and", Tok::And}, {u"byref", Tok::ByRef}, {u"byval", Tok::ByVal}, {u"call", Tok::Call},
    {u"case", Tok::Case}, {u"class", Tok::Class}, {u"const", Tok::Const}, {u"dim", Tok::Dim},
    {u"do", Tok::Do}, {u"each", Tok::Each}, {u"else", Tok::Else}, {u"elseif", Tok::ElseIf},
    {u"empty", Tok::Empty}, {u"end", Tok::End}, {u"eqv", Tok::Eqv}, {u"erase", Tok::Erase},
    {u"exit", Tok::Exit}, {u"false", Tok::False}, {u"for", Tok::For}, {u"function", Tok::Function},
    {u"if", Tok::If}, {u"imp", Tok::Imp}, {u"in", Tok::In}, {u"is", Tok::Is}, {u"loop", Tok::Loop},
    {u"mod", Tok::Mod}, {u"new", Tok::New}, {u"next", Tok::Next}, {u"not", Tok::Not},
    {u"nothing", Tok::Nothing}, {u"null", Tok::Null}, {u"on", Tok::On}, {u"option", Tok::Option},
    {u"or", Tok::Or}, {u"private", Tok::Private}, {u"public", Tok::Public}, {u"redim", Tok::ReDim},
    {u"select", Tok::Select}, {u"set", Tok::Set}, {u"stop", Tok::Stop}, {u"sub", Tok::Sub},
    {u"then", Tok::Then}, {u"to", Tok::To}, {u"true", Tok::True}, {u"until", Tok::Until},
    {u"wend", Tok::Wend}, {u"while", Tok::While}, {u"with", Tok::With}, {u"xor", Tok::Xor},
};
static_assert(std::is_sorted(std::begin(kReservedWords), std::end(kReservedWords),
                             [](const ReservedWord& a, const ReservedWord& b) { return a.key < b.key; }));

// The reserved word `key` (folded to lower case) is, or nullptr.
const ReservedWord* reserved_word(std::u16string_view key) {
  auto it = std::lower_bound(std::begin(kReservedWords), std::end(kReservedWords), key,
                             [](const ReservedWord& w, std::u16string_view k) { return w.key < k; });
  return it != std::end(kReservedWords) && it->key == key ? it : nullptr;
}

bool is_ident_start(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c != 0xFEFF);
}
bool is_ident_char(char16_t c) {
  return is_ident_start(c) || (c >= u'0' && c <= u'9') || c == u'_';
}
bool is_blank(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF || c == u'\f' || c == u'\v'; }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

class Lexer {
 public:
  explicit Lexer(std::u16string_view s) : s_(s), store_(new char16_t[s.size() + 1]) {}

  LexedText run() {
    LexedText lexed;
    std::vector<Token>& out = lexed.tokens;
    // Code has about one token per four characters: reserving a third of its length takes
    // the vector to its size in one allocation instead of copying every token several times.
    out.reserve(s_.size() / 3 + 16);
    bool space = true;
    while (true) {
      // Blanks and line continuations.
      while (i_ < s_.size()) {
        char16_t c = s_[i_];
        if (is_blank(c)) { ++i_; space = true; continue; }
        if (c == u'_' && continuation_at(i_)) { skip_continuation(); space = true; continue; }
        break;
      }
      Token t;
      t.space_before = space;
      t.line = line_;
      t.col = static_cast<int>(i_ - line_start_) + 1;
      space = false;
      if (i_ >= s_.size()) { t.kind = Tok::Eof; out.push_back(std::move(t)); break; }
      char16_t c = s_[i_];
      if (c == u'\r' || c == u'\n') {
        newline();
        t.kind = Tok::Eol;
        t.line_end = true;
        space = true;
        push_eol(out, std::move(t));
        continue;
      }
      if (c == u':') {
        ++i_;
        t.kind = Tok::Eol;
        t.colon = true;
        space = true;
        push_eol(out, std::move(t));
        continue;
      }
      if (c == u'\'') { skip_comment(); continue; }
      if (c == u'"') { lex_string(t); out.push_back(std::move(t)); continue; }
      if (c == u'#') { lex_date(t); out.push_back(std::move(t)); continue; }
      if (is_digit(c) || (c == u'.' && i_ + 1 < s_.size() && is_digit(s_[i_ + 1]) && !after_operand(out, t))) {
        lex_number(t);
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'&' && radix_literal_at(i_)) {
        lex_radix(t);
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'[') { lex_bracket_name(t); out.push_back(std::move(t)); continue; }
      if (is_ident_start(c)) {
        size_t b = i_;
        while (i_ < s_.size() && is_ident_char(s_[i_])) ++i_;
        t.text = s_.substr(b, i_ - b);
        t.key = folded(t.text);
        if (t.key == u"rem" && (out.empty() || out.back().kind != Tok::Dot || t.space_before)) {
          skip_comment();
          continue;
        }
        bool after_dot = !out.empty() && out.back().kind == Tok::Dot;
        const ReservedWord* word = after_dot ? nullptr : reserved_word(t.key);
        t.kind = word ? word->kind : Tok::Ident;
        out.push_back(std::move(t));
        continue;
      }
      ++i_;
      switch (c) {
        case u'(': t.kind = Tok::LParen; break;
        case u')': t.kind = Tok::RParen; break;
        case u',': t.kind = Tok::Comma; break;
        case u'.': t.kind = Tok::Dot; break;
        case u'=': t.kind = Tok::Eq; break;
        case u'+': t.kind = Tok::Plus; break;
        case u'-': t.kind = Tok::Minus; break;
        case u'*': t.kind = Tok::Star; break;
        case u'/': t.kind = Tok::Slash; break;
        case u'\\': t.kind = Tok::Backslash; break;
        case u'^': t.kind = Tok::Caret; break;
        case u'&': t.kind = Tok::Amp; break;
        case u'<':
          if (i_ < s_.size() && s_[i_] == u'>') { ++i_; t.kind = Tok::Ne; }
          else if (i_ < s_.size() && s_[i_] == u'=') { ++i_; t.kind = Tok::Le; }
          else t.kind = Tok::Lt;
          break;
        case u'>':
          if (i_ < s_.size() && s_[i_] == u'=') { ++i_; t.kind = Tok::Ge; }
          else if (i_ < s_.size() && s_[i_] == u'<') { ++i_; t.kind = Tok::Ne; }
          else t.kind = Tok::Gt;
          break;
        default:
          compile_error(kCeInvalidChar, t.line, t.col);
      }
      // "=<" and "=>" are accepted as "<=" and ">=".
      if (t.kind == Tok::Eq && i_ < s_.size() && (s_[i_] == u'<' || s_[i_] == u'>')) {
        t.kind = s_[i_] == u'<' ? Tok::Le : Tok::Ge;
        ++i_;
      }
      out.push_back(std::move(t));
    }
    lexed.store = std::move(store_);
    return lexed;
  }

 private:
  // The name folded to lower case: the name itself when it has no capital, else a copy in
  // the store (each folded name stands for its own stretch of the source, so the store never
  // outgrows it).
  std::u16string_view folded(std::u16string_view name) {
    size_t k = 0;
    while (k < name.size() && name[k] < 0x80 && !(name[k] >= u'A' && name[k] <= u'Z')) ++k;
    if (k == name.size()) return name;
    char16_t* to = store_.get() + used_;
    for (size_t j = 0; j < name.size(); ++j) to[j] = fold_name_char(name[j]);
    used_ += name.size();
    return {to, name.size()};
  }
  static void push_eol(std::vector<Token>& out, Token t) {
    // Runs of separators collapse into one (which remembers whether it began with ':').
    if (!out.empty() && out.back().kind == Tok::Eol) {
      out.back().line_end = out.back().line_end || t.line_end;
      return;
    }
    out.push_back(std::move(t));
  }
  static bool after_operand(const std::vector<Token>& out, const Token& t) {
    if (out.empty() || t.space_before) return false;
    Tok k = out.back().kind;
    return k == Tok::Ident || k == Tok::RParen;
  }
  void newline() {
    i_ += line_break_length(s_, i_);
    ++line_;
    line_start_ = i_;
  }
  // '&' starts a number when digits follow it directly or after 'h'/'o'; "x &hi" and "x &o"
  // are concatenations with the names hi and o.
  bool radix_literal_at(size_t p) const {
    if (p + 1 >= s_.size()) return false;
    char16_t c = s_[p + 1];
    if (is_digit(c)) return true;
    if (p + 2 >= s_.size()) return false;
    char16_t d = s_[p + 2];
    if (c == u'h' || c == u'H') return is_digit(d) || (d >= u'a' && d <= u'f') || (d >= u'A' && d <= u'F');
    if (c == u'o' || c == u'O') return d >= u'0' && d <= u'7';
    return false;
  }
  bool continuation_at(size_t p) const {
    // '_' followed only by blanks up to the line's end (a '_' inside a name never gets here).
    size_t q = p + 1;
    while (q < s_.size() && is_blank(s_[q])) ++q;
    return q >= s_.size() || s_[q] == u'\r' || s_[q] == u'\n';
  }
  void skip_continuation() {
    ++i_;
    while (i_ < s_.size() && is_blank(s_[i_])) ++i_;
    if (i_ < s_.size()) newline();
  }
  void skip_comment() {
    while (i_ < s_.size() && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
  }
  void lex_string(Token& t) {
    size_t b = ++i_;
    bool doubled = false;
    while (true) {
      if (i_ >= s_.size() || s_[i_] == u'\r' || s_[i_] == u'\n') compile_error(kCeUnterminatedString, t.line, t.col);
      char16_t c = s_[i_++];
      if (c == u'"') {
        if (i_ < s_.size() && s_[i_] == u'"') { doubled = true; ++i_; continue; }
        break;
      }
    }
    t.kind = Tok::String;
    t.text = s_.substr(b, i_ - 1 - b);
    if (doubled) {
      // Each doubled quote stands for one: the value, shorter than its source, goes to the store.
      char16_t* to = store_.get() + used_;
      size_t n = 0;
      for (size_t k = 0; k < t.text.size(); ++k) {
        to[n++] = t.text[k];
        if (t.text[k] == u'"') ++k;
      }
      used_ += n;
      t.text = {to, n};
    }
  }
  void lex_date(Token& t) {
    size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != u'#' && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
    if (i_ >= s_.size() || s_[i_] != u'#') compile_error(kCeSyntax, t.line, t.col);
    std::u16string_view body = s_.substr(b, i_ - b);
    ++i_;
    double serial = 0;
    if (!parse_date(body, serial)) compile_error(kCeSyntax, t.line, t.col);
    t.kind = Tok::Date;
    t.value = Variant::date(serial);
  }
  void lex_bracket_name(Token& t) {
    size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != u']' && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
    if (i_ >= s_.size() || s_[i_] != u']') compile_error(kCeExpectedIdent, t.line, t.col);
    t.text = s_.substr(b, i_ - b);
    t.key = folded(t.text);
    ++i_;
    t.kind = Tok::Ident;
  }
  void lex_number(Token& t) {
    size_t b = i_;
    bool is_float = false;
    while (i_ < s_.size() && is_digit(s_[i_])) ++i_;
    if (i_ < s_.size() && s_[i_] == u'.') {
      is_float = true;
      ++i_;
      while (i_ < s_.size() && is_digit(s_[i_])) ++i_;
    }
    if (i_ < s_.size() && (s_[i_] == u'e' || s_[i_] == u'E')) {
      size_t save = i_;
      ++i_;
      if (i_ < s_.size() && (s_[i_] == u'+' || s_[i_] == u'-')) ++i_;
      if (i_ < s_.size() && is_digit(s_[i_])) {
        is_float = true;
        while (i_ < s_.size() && is_digit(s_[i_])) ++i_;
      } else {
        i_ = save;
      }
    }
    std::string ascii;
    for (size_t k = b; k < i_; ++k) ascii.push_back(static_cast<char>(s_[k]));
    if (i_ < s_.size() && is_ident_start(s_[i_])) compile_error(kCeExpectedEos, line_, static_cast<int>(i_ - line_start_) + 1);
    t.kind = Tok::Number;
    if (!is_float) {
      // Integer if it fits 16 bits, Long if 32, else Double.
      uint64_t v = 0;
      bool big = false;
      for (char ch : ascii) {
        if (v > 100000000000000000ULL) { big = true; break; }
        v = v * 10 + static_cast<uint64_t>(ch - '0');
      }
      if (!big && v <= 32767) { t.value = Variant(static_cast<int16_t>(v)); return; }
      if (!big && v <= 2147483647ULL) { t.value = Variant(static_cast<int32_t>(v)); return; }
    }
    double d = std::strtod(ascii.c_str(), nullptr);
    if (std::isinf(d)) compile_error(kCeInvalidNumber, t.line, t.col);
    t.value = Variant(d);
  }
  void lex_radix(Token& t) {
    ++i_;  // '&'
    int base = 8;
    if (s_[i_] == u'h' || s_[i_] == u'H') { base = 16; ++i_; }
    else if (s_[i_] == u'o' || s_[i_] == u'O') { ++i_; }
    uint64_t v = 0;
    size_t digits = 0;
    while (i_ < s_.size()) {
      char16_t c = s_[i_];
      int d;
      if (c >= u'0' && c <= u'9') d = c - u'0';
      else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
      else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
      else break;
      if (d >= base) break;
      v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFULL) compile_error(kCeInvalidNumber, t.line, t.col);
      ++digits;
      ++i_;
    }
    if (digits == 0) compile_error(kCeSyntax, t.line, t.col);
    bool long_suffix = false;
    if (i_ < s_.size() && s_[i_] == u'&') { long_suffix = true; ++i_; }
    t.kind = Tok::Number;
    // Values of 16 bits are Integer with the sign wrapped (&HFFFF is -1). With '&' the digits
    // are 32 bits with the sign wrapped, in the smallest type that holds the value
    // (&HFFFFFFFF& is Integer -1, &HFFFF& Long 65535).
    int32_t wide = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (!long_suffix && v <= 0xFFFF) t.value = Variant(static_cast<int16_t>(static_cast<uint16_t>(v)));
    else if (long_suffix && wide >= -32768 && wide <= 32767) t.value = Variant(static_cast<int16_t>(wide));
    else t.value = Variant(wide);
  }

  std::u16string_view s_;
  std::unique_ptr<char16_t[]> store_;  // as long as the source: see folded()
  size_t used_ = 0;
  size_t i_ = 0;
  int line_ = 1;
  size_t line_start_ = 0;
};

}  // namespace

LexedText lex(std::u16string_view src) { return Lexer(src).run(); }

std::u16string_view token_name(Tok t) {
  switch (t) {
    case Tok::Eof: case Tok::Eol: return u"end of statement";
    case Tok::Ident: return u"identifier";
    case Tok::LParen: return u"'('";
    case Tok::RParen: return u"')'";
    default: return u"token";
  }
}

}  // namespace qz::vbs
