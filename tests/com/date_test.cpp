// Date serials: DateSerial/TimeSerial rules, parts, CStr of dates and reading dates from text.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "com/convert.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::error_of;
using testing::utf8;

double hms(int h, int m, int s) { return (h * 3600 + m * 60 + s) / 86400.0; }

int this_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

TEST(DateFromParts, DateSerialRules) {
  struct Case {
    int y, m, d;
    double want;
  };
  const Case cases[] = {
      {2024, 1, 15, 45306},
      {1899, 12, 30, 0},
      {1899, 12, 29, -1},
      {1900, 1, 1, 2},
      {2024, 2, 29, 45351},
      {2024, 13, 1, 45658},    // month 13: January of the next year
      {2024, 3, 0, 45351},     // day 0: last day of the previous month
      {2024, 0, 1, 45261},     // month 0: December of the previous year
      {2024, -1, 1, 45231},
      {2024, 1, -1, 45290},
      {2023, 12, 32, 45292},
      {24, 1, 15, 45306},      // two-digit years 0-29 are 20xx
      {0, 1, 1, 36526},
      {29, 12, 31, 47483},
      {30, 1, 1, 10959},       // 30-99 are 19xx
      {99, 12, 31, 36525},
      {99, 13, 1, 36526},      // the year is read before months roll
      {100, 1, 1, -657434},
      {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases)
    EXPECT_EQ(date_from_parts(c.y, c.m, c.d), c.want) << c.y << "-" << c.m << "-" << c.d;
}

TEST(DateFromParts, OutOfRangeIsAnInvalidArgument) {
  EXPECT_EQ(error_of([] { date_from_parts(10000, 1, 1); }), 5);
  EXPECT_EQ(error_of([] { date_from_parts(9999, 12, 32); }), 5);
  EXPECT_EQ(error_of([] { date_from_parts(100, 1, 0); }), 5);
  EXPECT_EQ(error_of([] { date_from_parts(2024, 2147483647, 1); }), 5);
  EXPECT_EQ(error_of([] { date_from_parts(2024, 1, -2147483647 - 1); }), 5);
}

TEST(TimeFromParts, RollsIntoDays) {
  EXPECT_EQ(time_from_parts(12, 0, 0), 0.5);
  EXPECT_EQ(time_from_parts(6, 0, 0), 0.25);
  EXPECT_DOUBLE_EQ(time_from_parts(0, 0, 90), 90.0 / 86400);
  EXPECT_DOUBLE_EQ(time_from_parts(25, 0, 0), 1 + 1.0 / 24);
  // A minute before midnight of the day before the epoch.
  EXPECT_EQ(utf8(format_date(time_from_parts(0, -1, 0))), "12/29/1899 11:59:00 PM");
  EXPECT_EQ(utf8(format_date(time_from_parts(-6, 0, 0))), "12/29/1899 6:00:00 PM");
}

TEST(DateToParts, KnownSerials) {
  struct Case {
    double serial;
    int y, mo, d, h, mi, s, wd;
  };
  const Case cases[] = {
      {0, 1899, 12, 30, 0, 0, 0, 7},
      {1, 1899, 12, 31, 0, 0, 0, 1},
      {45306 + hms(15, 4, 5), 2024, 1, 15, 15, 4, 5, 2},
      {-1.25, 1899, 12, 29, 6, 0, 0, 6},   // before the epoch the time still counts forward
      {-0.5, 1899, 12, 30, 12, 0, 0, 7},
      {-657434, 100, 1, 1, 0, 0, 0, 6},
      {2958465 + hms(23, 59, 59), 9999, 12, 31, 23, 59, 59, 6},
      {45306.9999999, 2024, 1, 16, 0, 0, 0, 3},  // rounds to the next midnight
      {45351, 2024, 2, 29, 0, 0, 0, 5},
  };
  for (const auto& c : cases) {
    int y, mo, d, h, mi, s, wd;
    date_to_parts(c.serial, y, mo, d, h, mi, s, wd);
    EXPECT_EQ((std::vector<int>{y, mo, d, h, mi, s, wd}),
              (std::vector<int>{c.y, c.mo, c.d, c.h, c.mi, c.s, c.wd}))
        << c.serial;
  }
  int y, mo, d, h, mi, s, wd;
  EXPECT_EQ(error_of([&] { date_to_parts(std::nan(""), y, mo, d, h, mi, s, wd); }), 6);
}

// Every day of the supported range maps to parts and back, one weekday after the other.
TEST(DateToParts, RoundTripsEveryDay) {
  int prev_wd = 0;
  for (int64_t serial = -657434; serial <= 2958465; ++serial) {
    int y, mo, d, h, mi, s, wd;
    date_to_parts(static_cast<double>(serial), y, mo, d, h, mi, s, wd);
    ASSERT_EQ(date_from_parts(y, mo, d), static_cast<double>(serial)) << serial;
    if (prev_wd) { ASSERT_EQ(wd, prev_wd % 7 + 1) << serial; }
    prev_wd = wd;
  }
}

TEST(DateToParts, RoundTripsTimesOnBothSidesOfTheEpoch) {
  const int days[] = {-657434, -2, -1, 0, 1, 45306, 2958465};
  const int seconds[] = {0, 1, 59, 3600, 43199, 43200, 86399};
  for (int day : days) {
    for (int sec : seconds) {
      double serial = day < 0 ? day - sec / 86400.0 : day + sec / 86400.0;
      int y, mo, d, h, mi, s, wd;
      date_to_parts(serial, y, mo, d, h, mi, s, wd);
      EXPECT_EQ(date_from_parts(y, mo, d), day) << serial;
      EXPECT_EQ(h * 3600 + mi * 60 + s, sec) << serial;
    }
  }
}

TEST(FormatDate, DateTimeOrBoth) {
  struct Case {
    double serial;
    const char* want;
  };
  const Case cases[] = {
      {45306, "1/15/2024"},
      {0, "12:00:00 AM"},
      {0.5, "12:00:00 PM"},
      {0.25, "6:00:00 AM"},
      {hms(0, 0, 1), "12:00:01 AM"},
      {hms(12, 30, 0), "12:30:00 PM"},
      {hms(23, 59, 59), "11:59:59 PM"},
      {45306 + hms(15, 4, 5), "1/15/2024 3:04:05 PM"},
      {1, "12/31/1899"},
      {-1, "12/29/1899"},
      {-1.25, "12/29/1899 6:00:00 AM"},
      {-0.5, "12:00:00 PM"},
      {-657434, "1/1/100"},
      {2958465.99999, "12/31/9999 11:59:59 PM"},
      {45306.9999999, "1/16/2024"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(format_date(c.serial)), c.want) << c.serial;
}

TEST(ParseDate, AcceptedForms) {
  const double t1504 = hms(15, 4, 0);
  struct Case {
    const char16_t* text;
    double want;
  };
  const Case cases[] = {
      {u"1/15/2024", 45306},
      {u"01/15/2024", 45306},
      {u"  1/15/2024  ", 45306},
      {u"1-15-2024", 45306},
      {u"2024-01-15", 45306},
      {u"2024/1/15", 45306},
      {u"15/1/2024", 45306},   // the first number cannot be a month: day first
      {u"1/15/24", 45306},
      {u"1/15/30", 10973},
      {u"January 15, 2024", 45306},
      {u"january 15 2024", 45306},
      {u"Jan 15 2024", 45306},
      {u"15 Jan 2024", 45306},
      {u"15-Jan-2024", 45306},
      {u"15-JAN-24", 45306},
      {u"Monday, January 15, 2024", 45306},
      {u"Sept 1, 2024", 45536},
      {u"January 2024", 45292},
      {u"1/2024", 45292},
      {u"2/29/2024", 45351},
      {u"1/1/100", -657434},
      {u"12/31/9999", 2958465},
      {u"3:04:05 PM", hms(15, 4, 5)},
      {u"3:04:05 pm", hms(15, 4, 5)},
      {u"3:04:05PM", hms(15, 4, 5)},
      {u"15:04", t1504},
      {u"15:04:00", t1504},
      {u"3 PM", hms(15, 0, 0)},
      {u"3 p", hms(15, 0, 0)},
      {u"12:00 AM", 0},
      {u"12:30 PM", hms(12, 30, 0)},
      {u"0:00", 0},
      {u"23:59:59", hms(23, 59, 59)},
      {u"1/15/2024 3:04 PM", 45306 + t1504},
      {u"1/15/2024 15:04", 45306 + t1504},
      {u"3:04 PM 1/15/2024", 45306 + t1504},
      {u"January 15, 2024 3:04 PM", 45306 + t1504},
      {u"12/29/1899 6:00 AM", -1.25},
  };
  for (const auto& c : cases) {
    double got = -1e9;
    ASSERT_TRUE(parse_date(c.text, got)) << utf8(c.text);
    EXPECT_NEAR(got, c.want, 1e-9) << utf8(c.text);
  }
}

TEST(ParseDate, WithoutYearMeansThisYear) {
  const int y = this_year();
  struct Case {
    const char16_t* text;
    int m, d;
  };
  const Case cases[] = {
      {u"1/15", 1, 15}, {u"Jan 15", 1, 15}, {u"15 January", 1, 15}, {u"31/12", 12, 31}, {u"12-31", 12, 31},
  };
  for (const auto& c : cases) {
    double got = 0;
    ASSERT_TRUE(parse_date(c.text, got)) << utf8(c.text);
    EXPECT_EQ(got, date_from_parts(y, c.m, c.d)) << utf8(c.text);
  }
}

TEST(ParseDate, RejectedTexts) {
  const char16_t* cases[] = {
      u"",           u"   ",          u"abc",         u"1",             u"2024",
      u"45000",      u"13/13/2024",   u"2/30/2024",   u"2/29/2023",     u"0/1/2024",
      u"1/0/2024",   u"25:00",        u"12:60",       u"12:00:60",      u"13:00 PM",
      u"1/15/2024 25:00", u"1/15/2024x", u"1:2:3:4",  u"1//2024",       u"-1/15/2024",
      u"1/15/10000", u"1/1/099",      u"Foo 15 2024", u"1/15/2024 1/16/2024",
      u"3 PM 4 PM",  u"January February 2024", u"January", u"PM",     u"1/15/2024,",
      u"1/15/2024 3:", u"3:04 PM PM", u"1/2/3/4",     u"1234567890/1/1", u"Jan 15 2024 2025",
      u"1/15/2024\u00a0", u"\u0661/1/2024", u"12:00 AM 1:00 PM",
  };
  for (const char16_t* text : cases) {
    double got = 0;
    EXPECT_FALSE(parse_date(text, got)) << utf8(text);
  }
}

TEST(ParseDate, MatchesFormatDate) {
  const double serials[] = {45306, 45306 + hms(15, 4, 5), hms(9, 30, 0), -1.25, 2958465, -657434};
  for (double s : serials) {
    double back = 0;
    ASSERT_TRUE(parse_date(format_date(s), back)) << s;
    EXPECT_NEAR(back, s, 1e-9) << utf8(format_date(s));
  }
}

TEST(ValidDate, Range) {
  EXPECT_TRUE(valid_date(-657434));
  EXPECT_TRUE(valid_date(2958465.999));
  EXPECT_FALSE(valid_date(2958466));
  EXPECT_FALSE(valid_date(-657435));
  EXPECT_FALSE(valid_date(std::nan("")));
}

}  // namespace
}  // namespace qz
