// Format as scripts call it through sys.CFormat: the value arrives as text and is read back as
// a number or a date. English (United States), week starting on Sunday.
#include <gtest/gtest.h>

#include "com/error.h"
#include "runtime/helpers/format_value.h"

namespace qz {
namespace {

struct FormatCase {
  const char16_t* value;
  const char16_t* format;
  const char16_t* expected;
};

std::string show(const char16_t* s) { return u16_to_utf8(s); }

void check(const FormatCase& c) {
  Str got = format_value(Variant(c.value), c.format);
  EXPECT_EQ(u16_to_utf8(got.view()), show(c.expected)) << "Format(\"" << show(c.value) << "\", \"" << show(c.format) << "\")";
}

TEST(FormatValue, NumberPlaceholders) {
  const FormatCase cases[] = {
      {u"5", u"000", u"005"},
      {u"1234.5678", u"#,##0.00", u"1,234.57"},
      {u"1234567.891", u"#,##0.00", u"1,234,567.89"},
      {u"-1234.5", u"#,##0.00", u"-1,234.50"},
      {u"12", u"#,##0", u"12"},
      {u"0", u"#,##0", u"0"},
      {u"5", u"#.##", u"5."},
      {u"0.5", u"#.##", u".5"},
      {u"0.5", u"0.##", u"0.5"},
      {u"2.675", u"0.00", u"2.68"},
      {u"0.5", u"0", u"1"},
      {u"2.5", u"0", u"3"},
      {u"-2.5", u"0", u"-3"},
      {u"-0.001", u"0.00", u"-0.00"},
      {u"123456789", u"0", u"123456789"},
      {u"1e3", u"0", u"1000"},
      {u"1E+20", u"0", u"100000000000000000000"},
      {u"0.000001", u"0.000000", u"0.000001"},
      {u"5551234", u"###-####", u"555-1234"},
      {u"12", u"###-####", u"-12"},
      {u"5551234567", u"(###) ###-####", u"(555) 123-4567"},
      {u"123", u"$#,##0.00", u"$123.00"},
      {u"-123", u"$#,##0.00", u"-$123.00"},
      {u"1234567", u"#,##0,", u"1,235"},
      {u"1234567", u"0,,", u"1"},
      {u"1234567", u"0,,.0", u"1.2"},
      {u"7", u"\\N\\o\\. 0", u"No. 7"},
      {u"7", u"\"Total: \"0", u"Total: 7"},
      {u"7", u"0 \"pcs\"", u"7 pcs"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, PercentAndScientific) {
  const FormatCase cases[] = {
      {u"0.5", u"0%", u"50%"},
      {u"0.12345", u"0.00%", u"12.35%"},
      {u"1234.5", u"0.00E+00", u"1.23E+03"},
      {u"1234.5", u"0.00E-00", u"1.23E03"},
      {u"0.000123", u"0.00E-00", u"1.23E-04"},
      {u"0.000123", u"0.00e+0", u"1.23e-4"},
      {u"12345", u"00.00E+00", u"12.35E+03"},
      {u"9.999", u"0.00E+00", u"1.00E+01"},
      {u"0", u"0.00E+00", u"0.00E+00"},
      {u"-1234.5", u"0.0E+0", u"-1.2E+3"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, Sections) {
  const FormatCase cases[] = {
      {u"-5", u"0;(0)", u"(5)"},
      {u"5", u"0;(0)", u"5"},
      {u"0", u"0;(0)", u"0"},
      {u"0", u"0.00;-0.00;\\Z\\e\\r\\o", u"Zero"},
      {u"0.001", u"0.00;-0.00;\\Z\\e\\r\\o", u"0.00"},
      {u"-5", u"0;;\\Z", u"-5"},         // an empty negative section: the positive one, with the sign
      {u"-1234.5", u"#,##0.00;(#,##0.00)", u"(1,234.50)"},
      {u"1;2", u"0", u"1;2"},             // not a number: shown as it is
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, NamedNumberFormats) {
  const FormatCase cases[] = {
      {u"1234.5", u"General Number", u"1234.5"},
      {u"1,234.5", u"general number", u"1234.5"},
      {u"1234.5", u"Currency", u"$1,234.50"},
      {u"-1234.5", u"Currency", u"($1,234.50)"},
      {u"1234.5", u"Fixed", u"1234.50"},
      {u"0.5", u"Fixed", u"0.50"},
      {u"1234.5", u"Standard", u"1,234.50"},
      {u"0.256", u"Percent", u"25.60%"},
      {u"1234.5", u"Scientific", u"1.23E+03"},
      {u"0", u"Yes/No", u"No"},
      {u"2", u"yes/no", u"Yes"},
      {u"0", u"True/False", u"False"},
      {u"-1", u"On/Off", u"On"},
      {u"abc", u"Yes/No", u"abc"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, Dates) {
  const FormatCase cases[] = {
      {u"1/15/2024", u"yyyy-mm-dd", u"2024-01-15"},
      {u"1/5/2024", u"m/d/yy", u"1/5/24"},
      {u"1/5/2024", u"mm/dd/yyyy", u"01/05/2024"},
      {u"1/15/2024", u"dddd, mmmm d, yyyy", u"Monday, January 15, 2024"},
      {u"1/15/2024", u"ddd mmm", u"Mon Jan"},
      {u"1/15/2024", u"ddddd", u"1/15/2024"},
      {u"1/15/2024", u"dddddd", u"Monday, January 15, 2024"},
      {u"1/15/2024", u"q", u"1"},
      {u"8/1/2024", u"\\Qq", u"Q3"},
      {u"2/1/2024", u"y", u"32"},
      {u"1/15/2024", u"w", u"2"},
      {u"1/15/2024", u"ww", u"3"},
      {u"1/15/2024", u"\\Y\\e\\a\\r yyyy", u"Year 2024"},
      {u"45306", u"yyyy-mm-dd", u"2024-01-15"},
      {u"1/15/2024 3:04:05 PM", u"hh:nn:ss", u"15:04:05"},
      {u"1/15/2024 3:04:05 PM", u"h:m", u"15:4"},
      {u"1/15/2024 3:04:05 PM", u"mm", u"01"},
      {u"1/15/2024 3:04:05 PM", u"hh:mm", u"15:04"},
      {u"1/15/2024 3:04:05 PM", u"h:mm AM/PM", u"3:04 PM"},
      {u"1/15/2024 3:04:05 PM", u"hh:mm:ss am/pm", u"03:04:05 pm"},
      {u"1/15/2024 3:04:05 AM", u"h A/P", u"3 A"},
      {u"1/15/2024 12:30:00 AM", u"h:nn AMPM", u"12:30 AM"},
      {u"1/15/2024 3:04:05 PM", u"ttttt", u"3:04:05 PM"},
      {u"1/15/2024 3:04:05 PM", u"c", u"1/15/2024 3:04:05 PM"},
      {u"1/15/2024", u"0", u"45306"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, NamedDateFormats) {
  const FormatCase cases[] = {
      {u"1/15/2024", u"Long Date", u"Monday, January 15, 2024"},
      {u"1/15/2024", u"Medium Date", u"15-Jan-24"},
      {u"1/15/2024", u"Short Date", u"1/15/2024"},
      {u"1/15/2024 3:04:05 PM", u"Long Time", u"3:04:05 PM"},
      {u"1/15/2024 3:04:05 PM", u"Medium Time", u"03:04 PM"},
      {u"1/15/2024 3:04:05 PM", u"Short Time", u"15:04"},
      {u"1/15/2024 3:04:05 PM", u"General Date", u"1/15/2024 3:04:05 PM"},
      {u"1/15/2024", u"general date", u"1/15/2024"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, Text) {
  const FormatCase cases[] = {
      {u"abc", u">", u"ABC"},
      {u"ABC", u"<", u"abc"},
      {u"ab", u"@@@@", u"  ab"},
      {u"ab", u"!@@@@", u"ab  "},
      {u"ab", u"&&&&", u"ab"},
      {u"abcdef", u"@@@", u"abcdef"},
      {u"5551234567", u"(@@@) @@@-@@@@", u"(555) 123-4567"},
      {u"123", u"@@@@@", u"  123"},
      {u"", u"@;\\e\\m\\p\\t\\y", u"empty"},
      {u"abc", u"", u"abc"},
      {u"abc", u"0.00", u"abc"},
  };
  for (const auto& c : cases) check(c);
}

TEST(FormatValue, TypedValues) {
  EXPECT_EQ(format_value(Variant(1234.5), u"#,##0.00").u16(), u"1,234.50");
  EXPECT_EQ(format_value(Variant(int32_t{-42}), u"000").u16(), u"-042");
  EXPECT_EQ(format_value(Variant::currency(12345678), u"0.0000").u16(), u"1234.5678");
  EXPECT_EQ(format_value(Variant(true), u"0").u16(), u"-1");
  EXPECT_EQ(format_value(Variant(0.1f), u"0.0000000000").u16(), u"0.1000000000");
  EXPECT_EQ(format_value(Variant::date(45306.5), u"yyyy-mm-dd hh:nn").u16(), u"2024-01-15 12:00");
  EXPECT_EQ(format_value(Variant(1234.5), u"").u16(), u"1234.5");
  EXPECT_EQ(format_value(Variant::null(), u"0;0;0;\\N\\u\\l\\l").u16(), u"Null");
  EXPECT_EQ(format_value(Variant::null(), u"0").u16(), u"");
}

TEST(FormatValue, WeekSettings) {
  // Monday 2024-01-15: day 1 of a week starting on Monday.
  EXPECT_EQ(format_value(Variant(u"1/15/2024"), u"w", 2, 1).u16(), u"1");
  // 2021-01-01 is a Friday: week 1 with the week of January 1, the last week (52) of 2020 with full weeks.
  EXPECT_EQ(format_value(Variant(u"1/1/2021"), u"ww", 1, 1).u16(), u"1");
  EXPECT_EQ(format_value(Variant(u"1/1/2021"), u"ww", 1, 3).u16(), u"52");
}

TEST(FormatValue, Errors) {
  auto raises = [](const Variant& v, std::u16string_view f, int32_t number) {
    try {
      format_value(v, f);
    } catch (const ScriptError& e) {
      return e.number == number;
    }
    return false;
  };
  EXPECT_TRUE(raises(Variant(u"1e10"), u"yyyy", kErrOverflow));
  EXPECT_TRUE(raises(Variant::from_vector({Variant(int32_t{1})}), u"0", kErrTypeMismatch));
}

}  // namespace
}  // namespace qz
