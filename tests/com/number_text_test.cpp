// Numbers read from text and written as CStr writes them.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "com/convert.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::utf8;

TEST(ParseNumber, AcceptedForms) {
  struct Case {
    std::u16string text;
    double want;
  };
  const Case cases[] = {
      {u"42", 42},
      {u"  42  ", 42},
      {u"\t-7\r\n", -7},
      {u"+3.5", 3.5},
      {u".5", 0.5},
      {u"5.", 5},
      {u"007", 7},
      {u"0.1", 0.1},
      {u"-0", 0},
      {u"1e3", 1000},
      {u"1E-2", 0.01},
      {u"2.5e+2", 250},
      {u"1d2", 100},
      {u"1D-1", 0.1},
      {u"1,000,000", 1e6},
      {u"1,2", 12},
      {u"$1,234.50", 1234.5},
      {u"-$5", -5},
      {u"$-5", -5},
      {u"(12)", -12},
      {u"($12.5)", -12.5},
      {u"12-", -12},
      {u"12+", 12},
      {u"&H1F", 31},
      {u"&hff", 255},
      {u" &H1F ", 31},
      {u"&HFFFF", -1},
      {u"&H8000", -32768},
      {u"&H10000", 65536},
      {u"&HFFFFFFFF", -1},
      {u"&H80000000", -2147483648.0},
      {u"&O17", 15},
      {u"&o777", 511},
      {u"123456789012345678901234567890", 123456789012345678901234567890.0},
      {u"0.000000000000000000000000000001", 1e-30},
      {u"1e-400", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(utf8(c.text));
    double got = -999;
    ASSERT_TRUE(parse_number(c.text, got));
    EXPECT_EQ(got, c.want);
  }
}

TEST(ParseNumber, OutOfRangeIsStillANumber) {
  double got = 0;
  ASSERT_TRUE(parse_number(u"1e400", got));
  EXPECT_TRUE(std::isinf(got) && got > 0);
  ASSERT_TRUE(parse_number(u"-1e99999999999", got));
  EXPECT_TRUE(std::isinf(got) && got < 0);
}

TEST(ParseNumber, RejectedForms) {
  const std::u16string cases[] = {
      u"",      u"   ",  u"abc",   u"1a",     u"1e",    u"1e+",    u".",     u"-",
      u"$",     u"()",   u"1.2.3", u"&H",     u"&HG",   u"&O8",    u"&X1",   u",5",
      u"(5",    u"5)",   u"--5",   u"- 5",    u"1 2",   u"&H 1F",  u"0x1F",  u"1e5e5",
      u"+-5",   u"5--",  u"(-5)",  u"-5-",    u"$$5",   u"-&H1",   u"&H1.5", u"1..2",
      u"1e2.5", u"\u0661", u"5%",  u"\u00a05", std::u16string(u"5\0", 2),
      u"&HFFFFFFFFFFFFFFFFF",
  };
  for (const auto& text : cases) {
    double got = 0;
    EXPECT_FALSE(parse_number(text, got)) << utf8(text);
  }
}

// Every reading is the correctly rounded Double, short texts and long ones alike.
TEST(ParseNumber, RoundsCorrectly) {
  std::mt19937_64 rng(12345);
  for (int i = 0; i < 20000; ++i) {
    int ndigits = 1 + static_cast<int>(rng() % 20);
    std::string text;
    for (int k = 0; k < ndigits; ++k) text.push_back(static_cast<char>('0' + rng() % 10));
    if (rng() % 2) text.insert(rng() % (text.size() + 1), 1, '.');
    if (text == ".") text = "0.5";
    int exp = static_cast<int>(rng() % 70) - 35;
    text += "e" + std::to_string(exp);
    double got = 0;
    ASSERT_TRUE(parse_number(std::u16string(text.begin(), text.end()), got)) << text;
    ASSERT_EQ(got, std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(ParseNumber, LongInputIsHandled) {
  std::u16string many(100000, u'9');
  double got = 0;
  ASSERT_TRUE(parse_number(many, got));
  EXPECT_TRUE(std::isinf(got));
  std::u16string zeros = u"0." + std::u16string(100000, u'0') + u"1";
  ASSERT_TRUE(parse_number(zeros, got));
  EXPECT_EQ(got, 0.0);
}

TEST(FormatDouble, FifteenDigitsAndExponentForm) {
  struct Case {
    double in;
    const char16_t* want;
  };
  const Case cases[] = {
      {0, u"0"},
      {-0.0, u"0"},
      {1, u"1"},
      {100, u"100"},
      {-1.5, u"-1.5"},
      {3.14159, u"3.14159"},
      {0.1 + 0.2, u"0.3"},
      {1.0 / 3.0, u"0.333333333333333"},
      {2.0 / 3.0, u"0.666666666666667"},
      {123456789012345.0, u"123456789012345"},
      {1e15, u"1E+15"},
      {1e16, u"1E+16"},
      {1234567890123456.0, u"1.23456789012346E+15"},
      {999999999999999.0, u"999999999999999"},
      {9999999999999999.0, u"1E+16"},
      {0.0001, u"0.0001"},
      {0.00012345, u"0.00012345"},
      {0.00001, u"1E-05"},
      {1.5e-5, u"1.5E-05"},
      {-1.23456789012346e20, u"-1.23456789012346E+20"},
      {1e100, u"1E+100"},
      {DBL_MAX, u"1.79769313486232E+308"},
      {5e-324, u"4.94065645841247E-324"},
      {2147483648.0, u"2147483648"},
      {1e14 + 0.5, u"100000000000000"},
      {12345.678901234567, u"12345.6789012346"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(format_double(c.in)), utf8(c.want)) << c.in;
}

TEST(FormatSingle, SevenDigits) {
  struct Case {
    float in;
    const char16_t* want;
  };
  const Case cases[] = {
      {1.0f / 3.0f, u"0.3333333"},
      {0.1f, u"0.1"},
      {1.5f, u"1.5"},
      {1234567.0f, u"1234567"},
      {1e7f, u"1E+07"},
      {16777216.0f, u"1.677722E+07"},
      {FLT_MAX, u"3.402823E+38"},
      {1.5e-5f, u"1.5E-05"},
      {-2.5f, u"-2.5"},
      {0.0f, u"0"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(format_single(c.in)), utf8(c.want)) << c.in;
}

TEST(FormatCurrency, UpToFourDecimals) {
  struct Case {
    int64_t scaled;
    const char16_t* want;
  };
  const Case cases[] = {
      {0, u"0"},
      {15000, u"1.5"},
      {1000000, u"100"},
      {-1, u"-0.0001"},
      {1234567, u"123.4567"},
      {10, u"0.001"},
      {-25000, u"-2.5"},
      {INT64_MAX, u"922337203685477.5807"},
      {INT64_MIN, u"-922337203685477.5808"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(format_currency_value(c.scaled)), utf8(c.want)) << c.scaled;
}

// Text written by CStr reads back as the same number.
TEST(NumberText, RoundTripsThroughCStr) {
  const double values[] = {0.1, 1e15, 1.5e-5, -123.456, 1e-300, 4.2e200, 7.0};
  for (double v : values) {
    double back = 0;
    ASSERT_TRUE(parse_number(format_double(v), back)) << v;
    EXPECT_DOUBLE_EQ(back, v);
  }
}

}  // namespace
}  // namespace qz
