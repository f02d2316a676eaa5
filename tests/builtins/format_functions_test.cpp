#include <gtest/gtest.h>

#include "builtin_call.h"

namespace qz::test {
namespace {

TEST(FormatFunctions, FormatNumber) {
  check_cases({
      {u"FormatNumber", {1234.5}, "String:1,234.50"},
      {u"FormatNumber", {1234567.891, i16(0)}, "String:1,234,568"},
      {u"FormatNumber", {0.5, i16(0)}, "String:1"},
      {u"FormatNumber", {2.5, i16(0)}, "String:3"},
      {u"FormatNumber", {0.125, i16(2)}, "String:0.13"},
      {u"FormatNumber", {0.5, i16(2), i16(0)}, "String:.50"},
      {u"FormatNumber", {-1234.5, i16(1), i16(-2), i16(-1)}, "String:(1,234.5)"},
      {u"FormatNumber", {-1234.5, i16(1), i16(-2), i16(0), i16(0)}, "String:-1234.5"},
      {u"FormatNumber", {99.995, i16(2)}, "String:100.00"},
      {u"FormatNumber", {1e20, i16(0)}, "String:100,000,000,000,000,000,000"},
      {u"FormatNumber", {1.5e-7, i16(8)}, "String:0.00000015"},
      {u"FormatNumber", {u"1,234"}, "String:1,234.00"},
      {u"FormatNumber", {Variant()}, "String:0.00"},
      {u"FormatNumber", {Variant::currency(INT64_MAX)}, "String:922,337,203,685,477.58"},
      {u"FormatNumber", {Variant::currency(INT64_MIN)}, "String:-922,337,203,685,477.58"},
      {u"FormatNumber", {u"abc"}, "error 13"},
      {u"FormatNumber", {1.0, i16(-2)}, "error 5"},
  });
}

TEST(FormatFunctions, CurrencyAndPercent) {
  check_cases({
      {u"FormatCurrency", {20000}, "String:$20,000.00"},
      {u"FormatCurrency", {0.2, missing(), i16(0)}, "String:$.20"},
      {u"FormatCurrency", {-50}, "String:($50.00)"},
      {u"FormatCurrency", {-50, missing(), missing(), i16(0)}, "String:-$50.00"},
      {u"FormatCurrency", {1000000, missing(), missing(), missing(), i16(0)}, "String:$1000000.00"},
      {u"FormatCurrency", {cur(1.2345), i16(3)}, "String:$1.235"},
      {u"FormatPercent", {0.5}, "String:50.00%"},
      {u"FormatPercent", {0.12345, i16(1)}, "String:12.3%"},
      {u"FormatPercent", {-0.5, i16(0)}, "String:-50%"},
      {u"FormatPercent", {-0.5, i16(0), missing(), i16(-1)}, "String:(50%)"},
      {u"FormatPercent", {12.5, i16(0)}, "String:1,250%"},
  });
}

TEST(FormatFunctions, FormatDateTime) {
  Variant when = date(2024, 1, 15, 15, 4, 5);
  check_cases({
      {u"FormatDateTime", {when}, "String:1/15/2024 3:04:05 PM"},
      {u"FormatDateTime", {when, i16(1)}, "String:Monday, January 15, 2024"},
      {u"FormatDateTime", {when, i16(2)}, "String:1/15/2024"},
      {u"FormatDateTime", {when, i16(3)}, "String:3:04:05 PM"},
      {u"FormatDateTime", {when, i16(4)}, "String:15:04"},
      {u"FormatDateTime", {date(2024, 1, 15), i16(3)}, "String:12:00:00 AM"},
      {u"FormatDateTime", {date(2024, 1, 15, 9, 5), i16(4)}, "String:09:05"},
      {u"FormatDateTime", {Variant::date(0), i16(2)}, "String:12/30/1899"},
      {u"FormatDateTime", {u"2/3/2001"}, "String:2/3/2001"},
      {u"FormatDateTime", {when, i16(5)}, "error 5"},
  });
}

}  // namespace
}  // namespace qz::test
