#include <gtest/gtest.h>

#include "builtin_call.h"

namespace qz::test {
namespace {

TEST(Conversions, SubtypeConversions) {
  check_cases({
      {u"CInt", {2.5}, "Integer:2"},
      {u"CInt", {3.5}, "Integer:4"},
      {u"CInt", {u"40000"}, "error 6"},
      {u"CLng", {u"12"}, "Long:12"},
      {u"CDbl", {u"1.5"}, "Double:1.5"},
      {u"CBool", {u"abc"}, "error 13"},
      {u"CByte", {i16(256)}, "error 6"},
      {u"CStr", {true}, "String:True"},
      {u"CStr", {null()}, "error 94"},
      {u"CInt", {null()}, "error 94"},
      {u"CCur", {u"1.23456"}, "Currency:1.2346"},
  });
}

TEST(Conversions, HexAndOct) {
  check_cases({
      {u"Hex", {i16(255)}, "String:FF"},
      {u"Hex", {i16(-1)}, "String:FFFF"},
      {u"Hex", {i32(-1)}, "String:FFFFFFFF"},
      {u"Hex", {Variant(static_cast<uint8_t>(10))}, "String:A"},
      {u"Hex", {2.5}, "String:2"},
      {u"Hex", {Variant()}, "String:0"},
      {u"Hex", {null()}, "Null"},
      {u"Hex", {4294967296.0}, "error 6"},
      {u"Oct", {i16(8)}, "String:10"},
      {u"Oct", {i16(-1)}, "String:177777"},
      {u"Oct", {i32(-1)}, "String:37777777777"},
  });
}

TEST(MathFunctions, WholeParts) {
  check_cases({
      {u"Int", {-2.5}, "Double:-3"},
      {u"Fix", {-2.5}, "Double:-2"},
      {u"Int", {2.7}, "Double:2"},
      {u"Int", {Variant(2.5f)}, "Single:2"},
      {u"Int", {cur(-1.5)}, "Currency:-2"},
      {u"Fix", {cur(-1.5)}, "Currency:-1"},
      {u"Int", {u"-1.5"}, "Double:-2"},
      {u"Int", {true}, "Integer:-1"},
      {u"Int", {Variant()}, "Integer:0"},
      {u"Int", {null()}, "Null"},
      {u"Int", {i32(7)}, "Long:7"},
  });
  EXPECT_EQ(call_builtin(u"Int", {date(2024, 1, 15, 18)}).type(), VT::Date);
}

TEST(MathFunctions, RoundIsBankers) {
  check_cases({
      {u"Round", {2.5}, "Double:2"},
      {u"Round", {3.5}, "Double:4"},
      {u"Round", {-2.5}, "Double:-2"},
      {u"Round", {1.2345, i16(2)}, "Double:1.23"},
      {u"Round", {0.125, i16(2)}, "Double:0.12"},
      {u"Round", {0.375, i16(2)}, "Double:0.38"},
      {u"Round", {1234.5678, i16(-1)}, "error 5"},
      {u"Round", {cur(2.345), i16(2)}, "Currency:2.34"},
      {u"Round", {cur(2.355), i16(2)}, "Currency:2.36"},
      {u"Round", {Variant(2.5f)}, "Single:2"},
      {u"Round", {i16(7), i16(2)}, "Integer:7"},
      {u"Round", {u"2.5"}, "Double:2"},
      {u"Round", {null()}, "Null"},
  });
}

TEST(MathFunctions, Transcendental) {
  check_cases({
      {u"Abs", {i16(-5)}, "Integer:5"},
      {u"Abs", {i16(-32768)}, "Long:32768"},
      {u"Abs", {-1.5}, "Double:1.5"},
      {u"Abs", {cur(-2)}, "Currency:2"},
      {u"Abs", {u"-3"}, "Double:3"},
      {u"Abs", {null()}, "Null"},
      {u"Sgn", {-0.5}, "Integer:-1"},
      {u"Sgn", {i16(0)}, "Integer:0"},
      {u"Sgn", {u"7"}, "Integer:1"},
      {u"Sqr", {i16(16)}, "Double:4"},
      {u"Sqr", {i16(-1)}, "error 5"},
      {u"Log", {i16(0)}, "error 5"},
      {u"Log", {1.0}, "Double:0"},
      {u"Exp", {i16(0)}, "Double:1"},
      {u"Exp", {i16(1000)}, "error 6"},
      {u"Atn", {i16(1)}, "Double:0.785398163397448"},
      {u"Cos", {i16(0)}, "Double:1"},
      {u"Sin", {null()}, "Null"},
      {u"Tan", {u"x"}, "error 13"},
  });
}

}  // namespace
}  // namespace qz::test
