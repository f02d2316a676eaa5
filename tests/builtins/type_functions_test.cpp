#include <gtest/gtest.h>

#include "builtin_call.h"
#include "com/progid.h"
#include "platform/dialogs.h"
#include "script/objects/dictionary.h"

namespace qz::test {
namespace {

TEST(TypeFunctions, TypeNameAndVarType) {
  Variant dict = new_dictionary();
  Variant bytes = Variant::byte_array("ab", 2);
  check_cases({
      {u"TypeName", {Variant()}, "String:Empty"},
      {u"TypeName", {null()}, "String:Null"},
      {u"TypeName", {i16(1)}, "String:Integer"},
      {u"TypeName", {i32(1)}, "String:Long"},
      {u"TypeName", {1.5f}, "String:Single"},
      {u"TypeName", {1.5}, "String:Double"},
      {u"TypeName", {cur(1)}, "String:Currency"},
      {u"TypeName", {date(2024, 1, 1)}, "String:Date"},
      {u"TypeName", {u"x"}, "String:String"},
      {u"TypeName", {true}, "String:Boolean"},
      {u"TypeName", {Variant(static_cast<uint8_t>(1))}, "String:Byte"},
      {u"TypeName", {Variant::nothing()}, "String:Nothing"},
      {u"TypeName", {dict}, "String:Dictionary"},
      {u"TypeName", {call_builtin(u"Array", {})}, "String:Variant()"},
      {u"TypeName", {bytes}, "String:Byte()"},
      {u"TypeName", {Variant::error(5)}, "String:Error"},
      {u"VarType", {u"x"}, "Integer:8"},
      {u"VarType", {Variant()}, "Integer:0"},
      {u"VarType", {call_builtin(u"Array", {})}, "Integer:8204"},
      {u"VarType", {bytes}, "Integer:8209"},
      {u"VarType", {dict}, "Integer:9"},
      {u"VarType", {Variant::nothing()}, "Integer:9"},
  });
}

TEST(TypeFunctions, Predicates) {
  Variant dict = new_dictionary();
  check_cases({
      {u"IsEmpty", {Variant()}, "Boolean:True"},
      {u"IsEmpty", {u""}, "Boolean:False"},
      {u"IsNull", {null()}, "Boolean:True"},
      {u"IsObject", {Variant::nothing()}, "Boolean:True"},
      {u"IsObject", {dict}, "Boolean:True"},
      {u"IsObject", {i16(1)}, "Boolean:False"},
      {u"IsArray", {call_builtin(u"Array", {i16(1)})}, "Boolean:True"},
      {u"IsArray", {u"x"}, "Boolean:False"},
      {u"IsNumeric", {u" 12.5 "}, "Boolean:True"},
      {u"IsNumeric", {u"&H1F"}, "Boolean:True"},
      {u"IsNumeric", {u"1e3"}, "Boolean:True"},
      {u"IsNumeric", {u"12abc"}, "Boolean:False"},
      {u"IsNumeric", {u""}, "Boolean:False"},
      {u"IsNumeric", {Variant()}, "Boolean:True"},
      {u"IsNumeric", {true}, "Boolean:True"},
      {u"IsNumeric", {null()}, "Boolean:False"},
      {u"IsNumeric", {date(2024, 1, 1)}, "Boolean:False"},
      {u"IsNumeric", {dict}, "Boolean:False"},
  });
}

TEST(TypeFunctions, ArraysAndBounds) {
  Variant arr = call_builtin(u"Array", {i16(1), u"two", null()});
  Variant grid = Variant::new_array({{1, 3}, {-2, 5}});
  check_cases({
      {u"UBound", {arr}, "Long:2"},
      {u"LBound", {arr}, "Long:0"},
      {u"LBound", {grid, i16(2)}, "Long:-2"},
      {u"UBound", {grid, i16(2)}, "Long:2"},
      {u"UBound", {grid}, "Long:3"},
      {u"UBound", {grid, i16(3)}, "error 9"},
      {u"UBound", {grid, i16(0)}, "error 9"},
      {u"UBound", {u"abc"}, "error 13"},
  });
  EXPECT_EQ(describe(arr), "Variant()(1|two|Null)");
  EXPECT_TRUE(arr.as_array()->items[2].is_null());
  // Array copies values, not references: a by-reference argument's variable stays apart.
  Variant cell = i16(7);
  Variant copied = call_builtin(u"Array", {Variant::by_ref(&cell)});
  cell = i16(8);
  EXPECT_EQ(describe(copied), "Variant()(7)");
}

TEST(SystemFunctions, EngineAndObjects) {
  register_dictionary_progid();
  check_cases({
      {u"ScriptEngine", {}, "String:VBScript"},
      {u"ScriptEngineMajorVersion", {}, "Long:5"},
      {u"ScriptEngineMinorVersion", {}, "Long:8"},
      {u"RGB", {i16(1), i16(2), i16(3)}, "Long:197121"},
      {u"RGB", {i16(300), i16(0), i16(0)}, "Long:255"},
      {u"RGB", {i16(-1), i16(0), i16(0)}, "error 5"},
      {u"CreateObject", {u"No.Such.Thing"}, "error 429"},
      {u"CreateObject", {u"scripting.dictionary", u"remotehost"}, "error 462"},
      {u"GetObject", {missing(), u"Scripting.Dictionary"}, "error 429"},
      {u"GetObject", {u"c:\\x.doc"}, "error 429"},
      {u"LoadPicture", {}, "Nothing"},
      {u"LoadPicture", {u"/no/such/picture.bmp"}, "error 53"},
  });
  EXPECT_EQ(run(u"TypeName", {call_builtin(u"CreateObject", {u"Scripting.Dictionary"})}), "String:Dictionary");
  EXPECT_EQ(run(u"TypeName", {call_builtin(u"GetObject", {u"", u"Scripting.Dictionary"})}), "String:Dictionary");
}

TEST(SystemFunctions, DialogsAnswerOrRefuse) {
  clear_dialog_answers();
  queue_dialog_answer(kAnswerNo);
  EXPECT_EQ(describe(call_builtin(u"MsgBox", {u"Go on?", i16(4), u"Title"})), "Integer:7");
  queue_dialog_answer(std::optional<std::u16string>(u"typed"));
  EXPECT_EQ(describe(call_builtin(u"InputBox", {u"Name?"})), "String:typed");
  queue_dialog_answer(std::optional<std::u16string>());
  EXPECT_EQ(describe(call_builtin(u"InputBox", {u"Name?", u"T", u"default"})), "Empty");
  try {
    call_builtin(u"MsgBox", {u"hidden"}, /*allow_ui=*/false);
    ADD_FAILURE() << "MsgBox ran with AllowUI off";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 70);
  }
  clear_dialog_answers();
}

TEST(BuiltinTables, NamesIgnoreCase) {
  ASSERT_NE(find_builtin_function(u"lcase"), nullptr);
  EXPECT_EQ(find_builtin_function(u"LCASE"), find_builtin_function(u"LCase"));
  EXPECT_EQ(find_builtin_function(u"Eval"), nullptr);
  EXPECT_EQ(find_builtin_function(u"NoSuchFunction"), nullptr);
  const BuiltinFunction* arr = find_builtin_function(u"array");
  ASSERT_NE(arr, nullptr);
  EXPECT_EQ(arr->max_args, -1);
  struct Expect {
    std::u16string_view name;
    std::string value;
  };
  for (const Expect& e : std::vector<Expect>{{u"VBCRLF", "String:\r\n"},
                                             {u"vbNullChar", std::string("String:\0", 8)},
                                             {u"vbTextCompare", "Integer:1"},
                                             {u"vbObjectError", "Long:-2147221504"},
                                             {u"vbSaturday", "Integer:7"},
                                             {u"vbFirstFourDays", "Integer:2"},
                                             {u"vbShortTime", "Integer:4"},
                                             {u"vbUseDefault", "Integer:-2"},
                                             {u"vbArray", "Integer:8192"},
                                             {u"vbBlack", "Long:0"},
                                             {u"vbMagenta", "Long:16711935"},
                                             {u"vbMsgBoxHelpButton", "Long:16384"},
                                             {u"vbMsgBoxRtlReading", "Long:1048576"},
                                             {u"vbNo", "Integer:7"}}) {
    const BuiltinConstant* c = find_builtin_constant(e.name);
    ASSERT_NE(c, nullptr) << u16_to_utf8(e.name);
    EXPECT_EQ(describe(c->value), e.value) << u16_to_utf8(e.name);
  }
  EXPECT_EQ(find_builtin_constant(u"vbNothingHere"), nullptr);
}

}  // namespace
}  // namespace qz::test
