#include <gtest/gtest.h>

#include "builtin_call.h"

namespace qz::test {
namespace {

Variant bytes(std::initializer_list<uint8_t> b) { return Variant(Str::from_bytes(b.begin(), b.size())); }

std::vector<uint8_t> bytes_of(const Variant& v) {
  Str s = v.as_str();
  return {s.bytes(), s.bytes() + s.byte_size()};
}

TEST(ByteStrings, FunctionsSeeBytes) {
  check_cases({
      {u"LenB", {u"ab"}, "Long:4"},
      {u"LenB", {null()}, "Null"},
      {u"LenB", {bytes({1, 2, 3})}, "Long:3"},
      {u"AscB", {u"A"}, "Integer:65"},
      {u"AscB", {u""}, "error 5"},
      {u"ChrB", {i16(256)}, "error 5"},
      {u"InStrB", {u"abc", u"b"}, "Long:3"},
      {u"InStrB", {i16(4), u"abab", u"b"}, "Long:7"},
      {u"InStrB", {bytes({1, 2, 3}), bytes({3})}, "Long:3"},
      {u"InStrB", {u"abc", u""}, "Long:1"},
      {u"InStrB", {null(), u"a"}, "Null"},
      {u"LeftB", {u"ab", i16(-1)}, "error 5"},
      {u"MidB", {u"ab", i16(0)}, "error 5"},
  });
}

TEST(ByteStrings, OddLengthsSurvive) {
  Variant three = call_builtin(u"MidB", {bytes({0x41, 0x00, 0x42, 0x00, 0x43}), i16(2), i16(3)});
  EXPECT_EQ(bytes_of(three), (std::vector<uint8_t>{0x00, 0x42, 0x00}));
  EXPECT_EQ(bytes_of(call_builtin(u"ChrB", {i16(0xFF)})), (std::vector<uint8_t>{0xFF}));
  EXPECT_EQ(bytes_of(call_builtin(u"LeftB", {bytes({1, 2, 3, 4, 5}), i16(3)})), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(bytes_of(call_builtin(u"RightB", {bytes({1, 2, 3, 4, 5}), i16(3)})), (std::vector<uint8_t>{3, 4, 5}));
  EXPECT_EQ(bytes_of(call_builtin(u"MidB", {bytes({1, 2, 3}), i16(2)})), (std::vector<uint8_t>{2, 3}));
  // Taking the whole of an odd byte string keeps its last byte, also through the text functions.
  Variant odd = bytes({1, 2, 3});
  EXPECT_EQ(bytes_of(call_builtin(u"LeftB", {odd, i16(10)})), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(bytes_of(call_builtin(u"Left", {odd, i16(10)})), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(run(u"AscB", {call_builtin(u"RightB", {odd, i16(1)})}), "Integer:3");
}

}  // namespace
}  // namespace qz::test
