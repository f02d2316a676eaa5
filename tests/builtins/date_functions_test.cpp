#include <gtest/gtest.h>

#include <cmath>

#include "builtin_call.h"

namespace qz::test {
namespace {

TEST(DateFunctions, SerialsAndParts) {
  check_cases({
      {u"DateSerial", {i16(2024), i16(1), i16(15)}, "Date:1/15/2024"},
      {u"DateSerial", {i16(24), i16(13), i16(1)}, "Date:1/1/2025"},
      {u"DateSerial", {i16(2024), i16(3), i16(0)}, "Date:2/29/2024"},
      {u"DateSerial", {i16(2023), i16(-1), i16(1)}, "Date:11/1/2022"},
      {u"DateSerial", {i16(10000), i16(1), i16(1)}, "error 5"},
      {u"DateSerial", {i16(2024), i32(40000), i16(1)}, "error 6"},
      {u"TimeSerial", {i16(12), i16(-15), i16(0)}, "Date:11:45:00 AM"},
      {u"TimeSerial", {i16(25), i16(0), i16(0)}, "Date:12/31/1899 1:00:00 AM"},
      {u"DateValue", {u"1/15/2024 3:00 PM"}, "Date:1/15/2024"},
      {u"TimeValue", {u"1/15/2024 3:00 PM"}, "Date:3:00:00 PM"},
      {u"DateValue", {null()}, "Null"},
      {u"Year", {date(2024, 1, 15, 13, 4, 5)}, "Integer:2024"},
      {u"Month", {date(2024, 1, 15, 13, 4, 5)}, "Integer:1"},
      {u"Day", {u"1/15/2024"}, "Integer:15"},
      {u"Hour", {date(2024, 1, 15, 13, 4, 5)}, "Integer:13"},
      {u"Minute", {date(2024, 1, 15, 13, 4, 5)}, "Integer:4"},
      {u"Second", {date(2024, 1, 15, 13, 4, 5)}, "Integer:5"},
      {u"Second", {null()}, "Null"},
      {u"Year", {u"not a date"}, "error 13"},
      {u"Weekday", {date(2024, 1, 15)}, "Integer:2"},
      {u"Weekday", {date(2024, 1, 15), i16(2)}, "Integer:1"},
      {u"Weekday", {date(2024, 1, 15), i16(8)}, "error 5"},
      // Before 1899-12-30 the day counts back but the time still counts forward.
      {u"Hour", {Variant::date(-1.25)}, "Integer:6"},
      {u"Day", {Variant::date(-1.25)}, "Integer:29"},
  });
}

TEST(DateFunctions, DateAdd) {
  check_cases({
      {u"DateAdd", {u"m", i16(1), date(2024, 1, 31)}, "Date:2/29/2024"},
      {u"DateAdd", {u"yyyy", i16(1), date(2024, 2, 29)}, "Date:2/28/2025"},
      {u"DateAdd", {u"q", i16(-1), date(2024, 5, 31, 8)}, "Date:2/29/2024 8:00:00 AM"},
      {u"DateAdd", {u"h", i16(25), date(2024, 1, 1)}, "Date:1/2/2024 1:00:00 AM"},
      {u"DateAdd", {u"d", i16(-1), date(2024, 1, 1, 6)}, "Date:12/31/2023 6:00:00 AM"},
      {u"DateAdd", {u"ww", i16(2), date(2024, 1, 1)}, "Date:1/15/2024"},
      {u"DateAdd", {u"n", i16(90), date(2024, 1, 1)}, "Date:1/1/2024 1:30:00 AM"},
      {u"DateAdd", {u"S", i16(-1), date(2024, 1, 1)}, "Date:12/31/2023 11:59:59 PM"},
      {u"DateAdd", {u"d", i16(1), Variant::date(-2.25)}, "Date:12/29/1899 6:00:00 AM"},
      {u"DateAdd", {u"x", i16(1), date(2024, 1, 1)}, "error 5"},
      {u"DateAdd", {u"yyyy", i16(8000), date(2024, 1, 1)}, "error 5"},
      {u"DateAdd", {u"d", i16(1), null()}, "Null"},
      {u"DateAdd", {u"d", i16(1), u"1/31/2024"}, "Date:2/1/2024"},
      {u"DateAdd", {u"w", i16(1), u"1/31/2024"}, "Date:2/1/2024"},
      {u"DateAdd", {u"d", 1.6, date(2024, 1, 1)}, "Date:1/3/2024"},
      {u"DateAdd", {u"h", 2.5, date(2024, 1, 1)}, "Date:1/1/2024 2:00:00 AM"},
  });
}

TEST(DateFunctions, DateDiffCountsBoundaries) {
  check_cases({
      {u"DateDiff", {u"d", date(2024, 1, 1, 23), date(2024, 1, 2, 1)}, "Long:1"},
      {u"DateDiff", {u"d", date(2024, 1, 2), date(2024, 1, 1)}, "Long:-1"},
      {u"DateDiff", {u"h", date(2024, 1, 1, 1, 59), date(2024, 1, 1, 2, 0)}, "Long:1"},
      {u"DateDiff", {u"n", date(2024, 1, 1, 1, 59, 59), date(2024, 1, 1, 2, 0)}, "Long:1"},
      {u"DateDiff", {u"s", date(2024, 1, 1), date(2024, 1, 2)}, "Long:86400"},
      {u"DateDiff", {u"m", date(2024, 1, 31), date(2024, 2, 1)}, "Long:1"},
      {u"DateDiff", {u"q", date(2024, 3, 31), date(2024, 4, 1)}, "Long:1"},
      {u"DateDiff", {u"yyyy", date(2023, 12, 31), date(2024, 1, 1)}, "Long:1"},
      // 2024-01-06 is a Saturday: "ww" counts Sundays crossed, "w" whole weeks.
      {u"DateDiff", {u"ww", date(2024, 1, 6), date(2024, 1, 7)}, "Long:1"},
      {u"DateDiff", {u"w", date(2024, 1, 6), date(2024, 1, 7)}, "Long:0"},
      {u"DateDiff", {u"ww", date(2024, 1, 6), date(2024, 1, 7), i16(2)}, "Long:0"},
      {u"DateDiff", {u"w", date(2024, 1, 1), date(2024, 1, 20)}, "Long:2"},
      {u"DateDiff", {u"d", Variant::date(-1.75), Variant::date(0.25)}, "Long:1"},
      {u"DateDiff", {u"s", date(100, 1, 1), date(9999, 1, 1)}, "error 6"},
      {u"DateDiff", {u"d", null(), date(2024, 1, 1)}, "Null"},
  });
}

TEST(DateFunctions, DatePartWeeks) {
  check_cases({
      {u"DatePart", {u"yyyy", date(2024, 3, 1)}, "Integer:2024"},
      {u"DatePart", {u"q", date(2024, 3, 1)}, "Integer:1"},
      {u"DatePart", {u"y", date(2024, 3, 1)}, "Integer:61"},
      {u"DatePart", {u"w", date(2024, 1, 15)}, "Integer:2"},
      {u"DatePart", {u"w", date(2024, 1, 15), i16(2)}, "Integer:1"},
      {u"DatePart", {u"ww", date(2024, 1, 1)}, "Integer:1"},
      {u"DatePart", {u"ww", date(2024, 12, 31)}, "Integer:53"},
      {u"DatePart", {u"ww", date(2021, 1, 1), i16(2), i16(2)}, "Integer:53"},
      {u"DatePart", {u"ww", date(2021, 1, 4), i16(2), i16(2)}, "Integer:1"},
      // 2023 began on a Sunday, so under the full-week rule it has 53 weeks.
      {u"DatePart", {u"ww", date(2024, 1, 6), i16(1), i16(3)}, "Integer:53"},
      {u"DatePart", {u"ww", date(2022, 1, 1), i16(1), i16(3)}, "Integer:52"},
      {u"DatePart", {u"ww", date(2024, 1, 7), i16(1), i16(3)}, "Integer:1"},
      {u"DatePart", {u"h", u"3:04:05 PM"}, "Integer:15"},
      {u"DatePart", {u"ww", date(2024, 1, 1), i16(1), i16(4)}, "error 5"},
  });
}

TEST(DateFunctions, NamesAndIsDate) {
  check_cases({
      {u"MonthName", {i16(1)}, "String:January"},
      {u"MonthName", {i16(2), true}, "String:Feb"},
      {u"MonthName", {i16(13)}, "error 5"},
      {u"WeekdayName", {i16(1)}, "String:Sunday"},
      {u"WeekdayName", {i16(1), true, i16(2)}, "String:Mon"},
      {u"WeekdayName", {i16(7), false, i16(2)}, "String:Sunday"},
      {u"WeekdayName", {i16(0)}, "error 5"},
      {u"IsDate", {u"1/15/2024"}, "Boolean:True"},
      {u"IsDate", {u"abc"}, "Boolean:False"},
      {u"IsDate", {date(2024, 1, 1)}, "Boolean:True"},
      {u"IsDate", {i16(5)}, "Boolean:False"},
      {u"IsDate", {null()}, "Boolean:False"},
  });
}

TEST(DateFunctions, ClockIsConsistent) {
  Variant now = call_builtin(u"Now", {});
  Variant today = call_builtin(u"Date", {});
  Variant time = call_builtin(u"Time", {});
  Variant timer = call_builtin(u"Timer", {});
  ASSERT_EQ(now.type(), VT::Date);
  ASSERT_EQ(timer.type(), VT::Single);
  EXPECT_EQ(today.as_date(), std::floor(today.as_date()));
  EXPECT_LT(time.as_date(), 1.0);
  EXPECT_NEAR(now.as_date(), today.as_date() + time.as_date(), 2.0 / 86400);
  EXPECT_NEAR(timer.as_single(), time.as_date() * 86400, 2.0);
}

}  // namespace
}  // namespace qz::test
