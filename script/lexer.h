// The VBScript lexer: source text to tokens. Keywords and names ignore case; CR LF, lone CR and
// lone LF end a line; ':' separates statements; '_' at a line's end continues it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/variant.h"

namespace qz::vbs {

enum class Tok : uint8_t {
  Eof, Eol, Ident, Number, String, Date,
  LParen, RParen, Comma, Dot, Eq, Ne, Lt, Gt, Le, Ge, Plus, Minus, Star, Slash, Backslash, Caret, Amp,
  // Reserved words. Property, like Default and Step, is not one: the parser knows it where a
  // declaration starts with it and takes it as a name anywhere else.
  And, ByRef, ByVal, Call, Case, Class, Const, Dim, Do, Each, Else, ElseIf, Empty, End, Eqv, Erase,
  Exit, False, For, Function, If, Imp, In, Is, Loop, Mod, New, Next, Not, Nothing, Null, On, Option,
  Or, Private, Public, ReDim, Select, Set, Stop, Sub, Then, To, True, Until, Wend, While,
  With, Xor,
};

struct Token {
  Tok kind = Tok::Eof;
  bool space_before = false;  // blank, continuation or line start before the token
  bool line_end = false;      // Eol: a real line break (not only ':')
  bool colon = false;         // Eol: the separators began with ':'
  int line = 1;               // 1-based
  int col = 1;                // 1-based, in code units
  std::u16string_view text;   // identifier as written; string literal value
  std::u16string_view key;    // identifier or reserved word folded to lower case
  Variant value;              // Number and Date literals
};

// The tokens of a text. Their texts and keys are views into the text itself or, for names
// folded to lower case and strings with doubled quotes, into `store`: no string is made per
// token. The store never grows past the text's length, so its views stay put; both the store
// and the text must outlive the tokens.
struct LexedText {
  std::vector<Token> tokens;
  std::unique_ptr<char16_t[]> store;
};

// The length of the line break that starts at s[i]: 2 for CR LF, 1 for a lone CR or LF, 0 for
// any other character. Every count of lines over a script's text goes through this rule.
inline size_t line_break_length(std::u16string_view s, size_t i) {
  if (s[i] == u'\n') return 1;
  if (s[i] != u'\r') return 0;
  return i + 1 < s.size() && s[i + 1] == u'\n' ? 2 : 1;
}

// Where the line after the first line break at or after s[i] starts; npos when none follows.
inline size_t after_line_break(std::u16string_view s, size_t i) {
  for (; i < s.size(); ++i)
    if (size_t n = line_break_length(s, i)) return i + n;
  return std::u16string_view::npos;
}

// Lexes the whole text. Raises a compilation ScriptError (1032 invalid character, 1033
// unterminated string, 1031 invalid number) with its position.
LexedText lex(std::u16string_view src);

// The name of a token kind for messages ("end of statement", "'Then'").
std::u16string_view token_name(Tok t);

}  // namespace qz::vbs
