#include <gtest/gtest.h>

#include <cstdlib>

#include "builtin_call.h"
#include "platform/codepage.h"

namespace qz::test {
namespace {

TEST(StringFunctions, LengthsAndSlices) {
  check_cases({
      {u"Len", {u"abc"}, "Long:3"},
      {u"Len", {i16(12345)}, "Long:5"},
      {u"Len", {Variant()}, "Long:0"},
      {u"Len", {null()}, "Null"},
      {u"Left", {u"abcdef", i16(2)}, "String:ab"},
      {u"Left", {u"abc", i16(10)}, "String:abc"},
      {u"Left", {u"abc", i16(-1)}, "error 5"},
      {u"Left", {null(), i16(1)}, "Null"},
      {u"Left", {u"abc", null()}, "error 94"},
      {u"Right", {u"abcdef", i16(2)}, "String:ef"},
      {u"Right", {u"abc", i16(0)}, "String:"},
      {u"Mid", {u"abcdef", i16(2), i16(3)}, "String:bcd"},
      {u"Mid", {u"abcdef", i16(3)}, "String:cdef"},
      {u"Mid", {u"abc", i16(5)}, "String:"},
      {u"Mid", {u"abc", i16(0)}, "error 5"},
      {u"Mid", {u"abc", i16(1), i16(-1)}, "error 5"},
      {u"Mid", {null(), i16(1)}, "Null"},
  });
}

TEST(StringFunctions, Searching) {
  check_cases({
      {u"InStr", {u"abcabc", u"c"}, "Long:3"},
      {u"InStr", {i16(4), u"abcabc", u"c"}, "Long:6"},
      {u"InStr", {u"abc", u"x"}, "Long:0"},
      {u"InStr", {u"abc", u""}, "Long:1"},
      {u"InStr", {i16(3), u"abc", u""}, "Long:3"},
      {u"InStr", {u"", u"a"}, "Long:0"},
      {u"InStr", {i16(9), u"abc", u"a"}, "Long:0"},
      {u"InStr", {i16(0), u"abc", u"a"}, "error 5"},
      {u"InStr", {null(), u"a"}, "Null"},
      {u"InStr", {u"a", null()}, "Null"},
      {u"InStr", {null(), u"abc", u"a"}, "error 94"},
      {u"InStr", {i16(1), u"ABC", u"b", i16(1)}, "Long:2"},
      {u"InStr", {i16(1), u"ABC", u"b", i16(0)}, "Long:0"},
      {u"InStr", {i16(1), u"ПРИВЕТ", u"вет", i16(1)}, "Long:4"},
      {u"InStrRev", {u"abcabc", u"b"}, "Long:5"},
      {u"InStrRev", {u"abcabc", u"b", i16(4)}, "Long:2"},
      {u"InStrRev", {u"abcabc", u"bc", i16(5)}, "Long:2"},
      {u"InStrRev", {u"abc", u""}, "Long:3"},
      {u"InStrRev", {u"abc", u"a", i16(9)}, "Long:0"},
      {u"InStrRev", {u"abc", u"a", i16(0)}, "error 5"},
      {u"InStrRev", {u"aXbx", u"x", i16(-1), i16(1)}, "Long:4"},
  });
}

TEST(StringFunctions, ReplaceSplitJoinFilter) {
  check_cases({
      {u"Replace", {u"a-b-c", u"-", u"+"}, "String:a+b+c"},
      {u"Replace", {u"a-b-c", u"-", u"+", i16(3)}, "String:b+c"},
      {u"Replace", {u"a-b-c", u"-", u"+", i16(1), i16(1)}, "String:a+b-c"},
      {u"Replace", {u"aAa", u"a", u"x", i16(1), i16(-1), i16(1)}, "String:xxx"},
      {u"Replace", {u"abc", u"", u"x"}, "String:abc"},
      {u"Replace", {u"abc", u"b", u"x", i16(9)}, "String:"},
      {u"Replace", {u"abc", u"b", u"x", i16(0)}, "error 5"},
      {u"Replace", {null(), u"a", u"b"}, "error 94"},
      {u"Split", {u"a b  c"}, "Variant()(a|b||c)"},
      {u"Split", {u"a,b,c", u",", i16(2)}, "Variant()(a|b,c)"},
      {u"Split", {u"aXbxc", u"x", i16(-1), i16(1)}, "Variant()(a|b|c)"},
      {u"Split", {u"abc", u""}, "Variant()(abc)"},
      {u"Split", {u""}, "Variant()()"},
      {u"Filter", {call_builtin(u"Array", {u"one", u"two", u"Three"}), u"t"}, "Variant()(two)"},
      {u"Filter", {call_builtin(u"Array", {u"one", u"two", u"Three"}), u"t", false}, "Variant()(one|Three)"},
      {u"Filter", {call_builtin(u"Array", {u"one", u"two", u"Three"}), u"t", true, i16(1)}, "Variant()(two|Three)"},
      {u"Filter", {u"abc", u"a"}, "error 13"},
      {u"Join", {call_builtin(u"Array", {u"a", i16(1), true})}, "String:a 1 True"},
      {u"Join", {call_builtin(u"Array", {u"a", u"b"}), u""}, "String:ab"},
      {u"Join", {call_builtin(u"Array", {})}, "String:"},
      {u"Join", {u"abc"}, "error 13"},
  });
  // The bounds of an empty Split: 0 to -1.
  Variant empty = call_builtin(u"Split", {u""});
  EXPECT_EQ(run(u"UBound", {empty}), "Long:-1");
}

TEST(StringFunctions, CaseTrimAndRepeat) {
  check_cases({
      {u"LCase", {u"AbC Привет"}, "String:abc привет"},
      {u"UCase", {u"ёлка abc"}, "String:ЁЛКА ABC"},
      {u"UCase", {null()}, "Null"},
      {u"LTrim", {u"  a  "}, "String:a  "},
      {u"RTrim", {u"  a  "}, "String:  a"},
      {u"Trim", {u" \ta\t "}, "String:\ta\t"},
      {u"Trim", {null()}, "Null"},
      {u"Space", {i16(3)}, "String:   "},
      {u"Space", {i16(-1)}, "error 5"},
      {u"String", {i16(3), u"xyz"}, "String:xxx"},
      {u"String", {i16(2), i16(65)}, "String:AA"},
      {u"String", {i16(2), i16(256 + 66)}, "String:BB"},
      {u"String", {i16(2), u""}, "error 5"},
      {u"String", {i16(2), null()}, "Null"},
      {u"StrReverse", {u"abc"}, "String:cba"},
      {u"StrReverse", {null()}, "error 94"},
  });
}

TEST(StringFunctions, StrComp) {
  check_cases({
      {u"StrComp", {u"a", u"b"}, "Integer:-1"},
      {u"StrComp", {u"b", u"a"}, "Integer:1"},
      {u"StrComp", {u"a", u"A"}, "Integer:1"},
      {u"StrComp", {u"a", u"A", i16(1)}, "Integer:0"},
      {u"StrComp", {u"a", u"B", i16(0)}, "Integer:1"},
      {u"StrComp", {u"a", u"B", i16(1)}, "Integer:-1"},
      {u"StrComp", {u"Ж", u"ж", i16(1)}, "Integer:0"},
      {u"StrComp", {u"ab", u"a"}, "Integer:1"},
      {u"StrComp", {null(), u"a"}, "Null"},
      {u"StrComp", {u"a", u"a", i16(-1)}, "error 5"},
  });
}

TEST(StringFunctions, CharacterCodesUseTheAnsiPage) {
  setenv("QUAZEL_LANGID", "1049", 1);
  ASSERT_EQ(ansi_code_page(), 1251);
  check_cases({
      {u"Asc", {u"A"}, "Integer:65"},
      {u"Asc", {u"Я"}, "Integer:223"},
      {u"Asc", {u"\u4e2d"}, "Integer:63"},
      {u"Asc", {u""}, "error 5"},
      {u"Asc", {null()}, "error 94"},
      {u"Chr", {i16(223)}, "String:Я"},
      {u"Chr", {i16(256)}, "error 5"},
      {u"Chr", {i16(-1)}, "error 5"},
      {u"AscW", {u"Я"}, "Integer:1071"},
      {u"AscW", {u"\uFFFF"}, "Integer:-1"},
      {u"ChrW", {i32(1071)}, "String:Я"},
      {u"ChrW", {i16(-1)}, "String:\uFFFF"},
      {u"ChrW", {i32(65536)}, "error 5"},
  });
  // The byte that Windows-1251 leaves undefined comes back as the C1 control of its number.
  EXPECT_EQ(call_builtin(u"Chr", {i16(0x98)}).str_view(), std::u16string_view(u"\u0098"));
  EXPECT_EQ(run(u"Asc", {Variant(u"\u0098")}), "Integer:152");
  setenv("QUAZEL_LANGID", "1033", 1);
  EXPECT_EQ(run(u"Chr", {i16(0x80)}), "String:\u20ac");
  unsetenv("QUAZEL_LANGID");
}

TEST(StringFunctions, EscapeAndUnescape) {
  check_cases({
      {u"Escape", {u"a b+c/d@e*f_g-h.i"}, "String:a%20b+c/d@e*f_g-h.i"},
      {u"Escape", {u"100%\u00e9\u0416"}, "String:100%25%E9%u0416"},
      {u"Escape", {null()}, "Null"},
      {u"Unescape", {u"a%20b%u0416%E9"}, "String:a b\u0416\u00e9"},
      {u"Unescape", {u"100%"}, "String:100%"},
      {u"Unescape", {u"%zz%u12%4"}, "String:%zz%u12%4"},
  });
}

}  // namespace
}  // namespace qz::test
