// Single passes of the translator, case tables of input and expected output.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "com/str.h"
#include "engine/translator/declare_method.h"
#include "engine/translator/match_operator.h"
#include "engine/translator/path_macros.h"
#include "engine/translator/russian_keywords.h"
#include "engine/translator/text_util.h"
#include "engine/translator/type_translator.h"
#include "tests/translator/memory_host.h"
#include "tests/translator/render.h"

namespace qz::test {
namespace {

struct Case {
  const char16_t* input;
  const char16_t* expected;
};

std::string show(const std::u16string& s) { return show_breaks(s); }

// Runs `pass` on each case's input and compares with its expected text.
template <size_t N, class Pass>
void check(const Case (&cases)[N], Pass pass) {
  for (const Case& c : cases) {
    std::u16string text = c.input;
    pass(text);
    EXPECT_EQ(show(c.expected), show(text)) << show(c.input);
  }
}

// A pass is skipped when may_hold says no: it must never say no where the caseless pattern
// (Unicode folding: Kelvin sign for k, long s for s) could match.
TEST(MayHold, NeverMissesWhatACaselessPatternFinds) {
  struct HoldCase {
    std::u16string_view text, literal;
    bool expected;
  };
  const HoldCase cases[] = {
      {u"\r\n<#--NoShowError>", u"\n<#--noshowerror>", true},
      {u"\r\n<#--NO\u017FHOWERROR>", u"\n<#--noshowerror>", true},  // long s
      {u"x \u212Aey", u"key", true},                                   // Kelvin sign
      {u"Dim x", u"dim ", true},
      {u"dim_x", u"dim ", false},
      {u"\n#Lib\t<a>", u"\n#lib ", false},   // a tab is no space
      {u"\n\u00A3Lib <a>", u"\n#lib ", false},  // a non-letter has no other case
      {u"<#re", u"<#res", false},
      {u"", u"x", false},
      {u"abc", u"", true},
  };
  for (const HoldCase& c : cases)
    EXPECT_EQ(tr::may_hold(c.text, c.literal), c.expected) << show(std::u16string(c.text));
}

// Section tags are found by hand where every character the pattern looks at is ASCII; there
// the result must be the pattern's own, match for match, and elsewhere the pattern decides.
TEST(SectionTags, FoundAsThePatternFindsThem) {
  struct Kind {
    std::u16string_view word, pattern;
    bool named;
  };
  const Kind kinds[] = {{u"module", u"\\n<#Module[=a-z0-9_]*>", false},
                        {u"class", u"\\n<#Class=*([a-z0-9_]*)>", true},
                        {u"form", u"\\n<#Form=*([a-z0-9_]*)>", true}};
  auto by_pattern = [](const Kind& k, std::u16string_view text) {
    Regex rx;
    tr::configure(rx, k.pattern, true);
    return rx.execute(text);
  };
  auto same = [&](const Kind& k, std::u16string_view text) {
    std::optional<std::vector<RegexMatch>> found = tr::find_tags(text, k.word, k.named);
    if (!found) return;  // the pattern decides there
    std::vector<RegexMatch> expected = by_pattern(k, text);
    ASSERT_EQ(found->size(), expected.size()) << show(std::u16string(text));
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ((*found)[i].index, expected[i].index) << show(std::u16string(text));
      EXPECT_EQ((*found)[i].length, expected[i].length) << show(std::u16string(text));
      ASSERT_EQ((*found)[i].groups.size(), expected[i].groups.size()) << show(std::u16string(text));
      if (!expected[i].groups.empty()) EXPECT_EQ((*found)[i].groups[0].value, expected[i].groups[0].value);
    }
  };
  const std::u16string_view texts[] = {
      u"\r\n<#Module=Main>\r\nSub Load(cmd)\r\nEnd Sub\r\n<#Module>\r\n",
      u"\n<#MODULE=a_1>x\n<#module>\n<#Module=>\n<#Module==b=>",
      u"\n<#Class=Point>\n<#Class>\n<#CLASS==x>\n<#class=x=y>\n<#Class_>",
      u"\n<#Form=Main>body\n<#Form>\n<#Formx>\n<#Form=a b>\n<#For>",
      u"\n\n<#Module=A>\n<#Module=B\n<#Module=C>",  // a line break inside a tag
      u"\n<#Module",                                    // cut short at the end
      u"<#Module=A>\n<#Module>",                        // no line feed before the first
  };
  for (const Kind& k : kinds)
    for (std::u16string_view t : texts) same(k, t);

  // Beyond ASCII the pattern decides: the long s and the Kelvin sign are letters to it.
  EXPECT_FALSE(tr::find_tags(u"\n<#Cla\u017F\u017F=a>", u"class", true));
  EXPECT_FALSE(tr::find_tags(u"\n<#Module=\u212Aey>", u"module", false));
  EXPECT_FALSE(tr::find_tags(u"\n<#Form=\u0444>", u"form", true));
  // A name of the other sections' kind is no match, and a non-ASCII character elsewhere in
  // the text changes nothing.
  ASSERT_TRUE(tr::find_tags(u"\u0444\n<#Module=M>\u0444\n<#Module>", u"module", false));
  EXPECT_EQ(tr::find_tags(u"\u0444\n<#Module=M>\u0444\n<#Module>", u"module", false)->size(), 2u);

  // Random texts over the pieces tags are made of.
  const std::u16string_view pieces[] = {u"\n<#", u"Module", u"module", u"Class", u"FORM", u"=", u"==", u"a", u"Z9",
                                        u"_", u">", u" ", u"\r\n", u"\n", u"<", u"#", u"x"};
  uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    for (int n = static_cast<int>(next() % 24); n > 0; --n) text += pieces[next() % std::size(pieces)];
    for (const Kind& k : kinds) same(k, text);
  }
}

TEST(MethodCalls, RewriteTable) {
  const std::u16string decl = u"\r\nMethod M(o, a)\r\nEnd Method\r\n*Method C(o)\r\nEnd Method\r\n";
  const std::u16string head = u"\r\nFunction M(o, a)\rEnd Function\r\nFunction C(o)\rEnd Function\r\n";
  const Case cases[] = {
      {u"x = obj.M(1, 2)\r\n", u"x = M(obj,1, 2)\r\n"},
      {u"x = obj.M()\r\n", u"x = M(obj)\r\n"},                       // empty parentheses: no second pair
      {u"x = obj.M( ) & b.M(3)\r\n", u"x = M(obj) & M(b,3)\r\n"},
      {u"x = a.M(1) + f(2)\r\n", u"x = M(a,1) + f(2)\r\n"},           // arguments reach the last ")"
      {u"y = 1\r\nobj.M(5)\r\n", u"y = 1\r\nM(obj,5)\r\n"},          // column 0: the previous line keeps its word
      {u"y = 1\r\n\tobj.M(5)\r\n", u"y = 1\r\n\tM(obj,5)\r\n"},      // after a tab
      {u"n = obj.M \r\n", u"n = M(obj) \r\n"},                        // no parentheses
      {u"n = obj.M\r\n", u"n = M(obj)\r\n"},                          // at the line end
      {u"p.C\r\n", u"Call C(p)\r\n"},                                 // "*" puts Call in front
      {u"p.C(1)\r\n", u"Call C(p,1)\r\n"},
      {u"x = obj.Mx(1)\r\n", u"x = obj.Mx(1)\r\n"},                   // another member
      {u"s = \"a.M b\"\r\n", u"s = M(\"a) b\"\r\n"},                  // string literals are not spared
  };
  for (const Case& c : cases) {
    std::u16string text = decl + c.input;
    tr::rewrite_methods(text);
    EXPECT_EQ(show(head + c.expected), show(text)) << show(c.input);
  }
}

TEST(MatchReferences, RewriteTable) {
  const Case cases[] = {
      {u" $2", u" sys.rxp_param(2)"},
      {u" $2_3", u" sys.rxp_param(2,3)"},
      {u" $2__3", u" sys.rxp_param(2,3)"},
      {u" $23", u" sys.rxp_param(23)"},
      {u" ^^1", u" str_from_eval(\"sys.rxp_param(1)\")"},
      {u" $1$2", u" sys.rxp_param(1)sys.rxp_param(2)"},  // the second follows the first call's ")"
      {u" $$1", u" $$1"},                                 // not a reference: left for the escape pass
      {u"$1", u"$1"},                                     // needs a character before it
      {u"\"x $1\"", u"\"x sys.rxp_param(1)\""},
  };
  check(cases, [](std::u16string& t) { tr::rewrite_match_references(t); });
}

TEST(MatchReferences, EscapeTable) {
  const Case cases[] = {
      {u"$$5", u"$5"}, {u"$$$5", u"$5"}, {u"$$$$5", u"$5"}, {u"a$$1b$$2", u"a$1b$2"},
      {u"$$1$$$2", u"$1$2"}, {u"$$", u"$$"}, {u"$5", u"$5"},
  };
  check(cases, [](std::u16string& t) { tr::unescape_match_references(t); });
}

TEST(MatchOperator, RewriteTable) {
  const Case cases[] = {
      {u"If a =~ i/x// Then\r\n", u"If sys.rxp_cmp(a,\"x\",\"True\",\"False\") Then\r\n"},
      {u"s =~ g/a/b/\r\n", u"s = sys.rxp_rpl(s,\"a\",\"b\",\"False\",\"True\")\r\n"},
      {u"s =~ /a/\"\"/\r\n", u"s = sys.rxp_rpl(s,\"a\",\"\",\"False\",\"False\")\r\n"},
      {u"s =~ m/p/r/\r\n", u"s = sys.rxp_rpl(s,p,r,\"False\",\"False\")\r\n"},
      {u"s =~ /(a)/$1/\r\n", u"s = sys.rxp_rpl(s,\"(a)\",\"$$1\",\"False\",\"False\")\r\n"},
      {u"s =~ /(a)/$$1/\r\n", u"s = sys.rxp_rpl(s,\"(a)\",\"^^1\",\"False\",\"False\")\r\n"},
      {u"o.v(1) =~ I/a\\/b/c/\r\n", u"o.v(1) = sys.rxp_rpl(o.v(1),\"a\\/b\",\"c\",\"True\",\"False\")\r\n"},
      {u"x = a =~ /open\r\n", u"x = a =~ /open\r\n"},  // no closing slash: left for the script control
      {u"s = \"no operator here\"\r\n", u"s = \"no operator here\"\r\n"},
  };
  check(cases, [](std::u16string& t) { tr::rewrite_match_operators(t); });
}

// A "$&" in the pattern brings the whole operator back with every rewrite: the rewriting stops
// after as many rounds as the line held operators instead of growing the line for ever.
TEST(MatchOperator, AReplacementBringingTheOperatorBackEnds) {
  std::u16string text = u"\r\n  s =~ /(\\w+) & $$5 & $7$ $&  (\\wlag/y/\r\n";
  tr::rewrite_match_operators(text);
  EXPECT_LT(text.size(), 4096u) << show(text);
}

TEST(TypedDim, OnlyAtStatementStart) {
  const Case cases[] = {
      {u"\r\nDim p As TPoint\r\n", u"\r\nDim p\r\nSet p = New TPoint\r\n\r\n"},
      {u"\r\n  Dim p As New TPoint\r\n", u"\r\n  Dim p\r\nSet p = New TPoint\r\n\r\n"},
      {u"\r\nx = 1: Dim p As TPoint\r\n", u"\r\nx = 1: Dim p\r\nSet p = New TPoint\r\n\r\n"},
      {u"\r\nDim a(n) As T\r\n", u"\r\nReDim a(n)\r\nFor qz_d_vc = 0 To n\r\n   Set a(qz_d_vc) = New T\r\nNext\r\n\r\n"},
      {u"\r\nDim n As Long\r\n", u"\r\nDim n\r\n\r\n"},
      {u"\r\nDim f(3) As Boolean\r\n", u"\r\nReDim f(3)\r\n\r\n"},
      {u"\r\nDim s() As String\r\n", u"\r\nDim s()\r\n\r\n"},
      {u"\r\nDim o As Object\r\n", u"\r\nDim o\r\n\r\n"},
      {u"\r\n' Dim p As TPoint\r\n", u"\r\n' Dim p As TPoint\r\n"},
      {u"\r\nx = 1 ' Dim p As TPoint\r\n", u"\r\nx = 1 ' Dim p As TPoint\r\n"},
      {u"\r\nRem Dim p As TPoint\r\n", u"\r\nRem Dim p As TPoint\r\n"},
      {u"\r\ns = \"Dim p As TPoint\"\r\n", u"\r\ns = \"Dim p As TPoint\"\r\n"},
      {u"\r\ns = \"a:b\": Dim p As T\r\n", u"\r\ns = \"a:b\": Dim p\r\nSet p = New T\r\n\r\n"},
      {u"\r\nReDim p As TPoint\r\n", u"\r\nReDim p As TPoint\r\n"},
      {u"\r\nremark = 1: Dim p As T\r\n", u"\r\nremark = 1: Dim p\r\nSet p = New T\r\n\r\n"},
  };
  check(cases, [](std::u16string& t) { tr::translate_types(t); });
}

TEST(TypeBlocks, LayoutAndFieldKinds) {
  std::u16string text = u"\r\nType T\r\n  x As Long\r\n  name As String * 10\r\n  v(4) As Byte\r\n  p As TPoint\r\n"
                        u"  b As Boolean\r\n  k As MyLong\r\nEnd Type\r\nrest";
  tr::translate_types(text);
  EXPECT_NE(text.find(u"    class_vars_all = \"Long*x**~String*name**10~Byte*v*4*~TPoint*p**~Boolean*b**~MyLong*k**\"\r\n"),
            std::u16string::npos) << show(text);
  EXPECT_NE(text.find(u"    Set p = New TPoint\r\n"), std::u16string::npos);
  EXPECT_EQ(text.find(u"New Boolean"), std::u16string::npos);  // an intrinsic type is a plain variable
  EXPECT_EQ(text.find(u"New MyLong"), std::u16string::npos);   // holds "long": a plain variable
  EXPECT_NE(text.find(u"      case \"name\"\r\n        class_vars_strptr = sys.cstrptr(name)\r\n"), std::u16string::npos);
  EXPECT_EQ(text.substr(text.size() - 4), u"rest");
  EXPECT_EQ(text.find(u"End Type"), std::u16string::npos);
}

TEST(TypeBlocks, BackToBackAndAtTextEnd) {
  // The block takes its line feed and the two characters after "end type" with it; the next
  // block then starts at the line feed that ends the class just written.
  std::u16string text = u"\r\nType A\r\n  x As Long\r\nEnd Type\r\nType B\r\n  y As A\r\nEnd Type";
  tr::translate_types(text);
  EXPECT_NE(text.find(u"End Class\rClass B\r\n"), std::u16string::npos) << show(text);
  EXPECT_EQ(text.substr(text.size() - 11), u"End Class\r\n");
  EXPECT_EQ(text.find(u"Type"), std::u16string::npos);

  text = u"\r\nType A\r\n  x As Long\r\nEnd TypeXY\r\nType B\r\n  y As A\r\nEnd Type\r\nz";
  tr::translate_types(text);
  EXPECT_NE(text.find(u"End Class\r\n\rClass B\r\n"), std::u16string::npos) << show(text);
  EXPECT_EQ(text.find(u"XY"), std::u16string::npos);
  EXPECT_EQ(text.substr(text.size() - 12), u"End Class\r\nz");
}

TEST(Russian, LineTable) {
  const Case cases[] = {
      {u"Если а = 1 Тогда Сообщение \"Привет\" Конец Если", u"If a = 1 Then MsgBox \"Привет\" End If\r\n"},
      {u"Для и = 1 По 10 Шаг 2", u"For i = 1 To 10 Step 2\r\n"},
      {u"Цикл По условию х > 5", u"Do Until x > 5\r\n"},
      {u"Конец Цикла", u"Loop\r\n"},
      {u"Дим Счётчик", u"Dim schjotchik\r\n"},
      {u"Редим а(5)", u"reDim a(5)\r\n"},
      {u"ЕСЛИ Я", u"If ya\r\n"},
      {u"Поле = 1", u"Tole = 1\r\n"},
      {u"x = \"а\" & а & \"б", u"x = \"а\" & a & \"b\r\n"},      // after an odd last quote: code
      {u"x = \"а\"\"б\" & в", u"x = \"а\"\"б\" & v\r\n"},          // a doubled quote keeps the literal
      {u"a\r\nб", u"a\r\nb\r\n"},
  };
  check(cases, [](std::u16string& t) { t = tr::translate_russian(t); });
}

TEST(PathMacros, ExpansionTable) {
  TranslatorSettings s;
  s.script_folder = u"C:\\Scripts\\";
  s.engine_folder = u"/opt/Quazel/";
  s.temp_folder = u"/tmp/";
  s.system_folder = u"/usr/lib";
  MemoryHost host;
  host.env[u"windir"] = u"C:\\Windows";
  host.env[u"multi"] = u"a\r\nb";
  const Case cases[] = {
      {u"%QZ_PATH%\\Inc\\Util.qz", u"C:\\Scripts\\inc\\util.qz"},
      {u"%qz_lib%\\x.qz", u"/opt/Quazel/Lib\\x.qz"},
      {u"%qz_pathengine%/y.qz", u"/opt/Quazel/y.qz"},
      {u"%qz_temp%x.tmp", u"/tmp/x.tmp"},
      {u"%qz_system%\\A", u"/usr/lib\\a"},
      {u"%qz_windows%\\A", u"%qz_windows%\\a"},  // no value: the macro stays
      {u"%WinDir%\\Notepad.exe", u"C:\\Windows\\notepad.exe"},
      {u"%nothing%\\X", u"%nothing%\\x"},
      {u"%multi%", u"ab"},
      {u"%qz_temp%%qz_temp%", u"/tmp//tmp/"},
      {u"Plain\\Path.QZ", u"plain\\path.qz"},
  };
  check(cases, [&](std::u16string& t) { t = tr::expand_path_macros(t, s, host); });
}

}  // namespace
}  // namespace qz::test
