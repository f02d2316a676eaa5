// Date and time functions: the clock (Date, Time, Now, Timer), parts of a date, DateAdd,
// DateDiff, DatePart, DateSerial/TimeSerial, DateValue/TimeValue, IsDate and the names.
#include <algorithm>
#include <cmath>
#include <string>

#include "com/date_calendar.h"
#include "script/builtins/builtin_support.h"
#include "script/builtins/date_math.h"

namespace qz::builtins {
namespace {

using Parts = DateParts;

Parts parts_of(double serial) { return date_parts(serial); }

Variant Date(BuiltinContext&, Args) {
  LocalTime t = local_time();
  return Variant::date(date_from_parts(t.year, t.month, t.day));
}

Variant Time(BuiltinContext&, Args) {
  LocalTime t = local_time();
  return Variant::date(time_from_parts(t.hour, t.minute, t.second));
}

Variant Now(BuiltinContext&, Args) {
  LocalTime t = local_time();
  return Variant::date(date_from_parts(t.year, t.month, t.day) + time_from_parts(t.hour, t.minute, t.second));
}

Variant Timer(BuiltinContext&, Args) { return Variant(seconds_since_midnight()); }

// One part of a date argument as an Integer; Null gives Null.
template <int Parts::*Field>
Variant part(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return Variant(static_cast<int16_t>(parts_of(to_date(v)).*Field));
}

// The firstdayofweek argument: 0 (system) is Sunday for English (United States).
int first_day_arg(Args a, size_t i) {
  int32_t d = long_arg(a, i, 1);
  if (d < 0 || d > 7) invalid_argument();
  return d == 0 ? 1 : d;
}

int first_week_arg(Args a, size_t i) {
  int32_t w = long_arg(a, i, 1);
  if (w < 0 || w > 3) invalid_argument();
  return w == 0 ? 1 : w;
}

Variant Weekday(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  int first = first_day_arg(a, 1);
  if (v.is_null()) return Variant::null();
  return Variant(static_cast<int16_t>(weekday_from(day_number(to_date(v)), first)));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval interval_arg(Args a, size_t i) {
  std::u16string s = lower(str_arg(a, i).view());
  if (s == u"yyyy") return Interval::Year;
  if (s == u"q") return Interval::Quarter;
  if (s == u"m") return Interval::Month;
  if (s == u"y") return Interval::DayOfYear;
  if (s == u"d") return Interval::Day;
  if (s == u"w") return Interval::Weekday;
  if (s == u"ww") return Interval::Week;
  if (s == u"h") return Interval::Hour;
  if (s == u"n") return Interval::Minute;
  if (s == u"s") return Interval::Second;
  invalid_argument();
}

// Moves a date by whole months, keeping the time and clamping the day to the month's end.
double add_months(double serial, int64_t months) {
  Parts p = parts_of(serial);
  int64_t total = static_cast<int64_t>(p.year) * 12 + (p.month - 1) + months;
  if (total < 100 * 12 || total > 9999 * 12 + 11) invalid_argument();
  int year = static_cast<int>(total / 12), month = static_cast<int>(total % 12) + 1;
  int day = std::min(p.day, days_in_month(year, month));
  int64_t secs = linear_seconds(serial) - day_number(serial) * 86400;
  return serial_from_seconds(static_cast<int64_t>(date_from_parts(year, month, day)) * 86400 + secs);
}

double add_seconds(double serial, double seconds) {
  return serial_from_seconds(linear_seconds(serial) + static_cast<int64_t>(seconds));
}

Variant DateAdd(BuiltinContext&, Args a) {
  Interval iv = interval_arg(a, 0);
  double n = to_double(arg(a, 1));
  Variant v = arg(a, 2);
  if (v.is_null()) return Variant::null();
  double serial = to_date(v);
  if (!std::isfinite(n) || std::fabs(n) > 1e10) invalid_argument();
  double whole = round_half_even(n);  // a fractional count is rounded first
  double r = serial;
  switch (iv) {
    case Interval::Year: r = add_months(serial, static_cast<int64_t>(whole) * 12); break;
    case Interval::Quarter: r = add_months(serial, static_cast<int64_t>(whole) * 3); break;
    case Interval::Month: r = add_months(serial, static_cast<int64_t>(whole)); break;
    case Interval::DayOfYear: case Interval::Day: case Interval::Weekday:
      r = add_seconds(serial, whole * 86400.0);
      break;
    case Interval::Week: r = add_seconds(serial, whole * 7 * 86400.0); break;
    case Interval::Hour: r = add_seconds(serial, whole * 3600.0); break;
    case Interval::Minute: r = add_seconds(serial, whole * 60.0); break;
    case Interval::Second: r = add_seconds(serial, whole); break;
  }
  return Variant::date(checked_serial(r));
}

int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

Variant DateDiff(BuiltinContext&, Args a) {
  Interval iv = interval_arg(a, 0);
  Variant v1 = arg(a, 1), v2 = arg(a, 2);
  int first = first_day_arg(a, 3);
  first_week_arg(a, 4);
  if (v1.is_null() || v2.is_null()) return Variant::null();
  double d1 = to_date(v1), d2 = to_date(v2);
  Parts p1 = parts_of(d1), p2 = parts_of(d2);
  int64_t s1 = linear_seconds(d1), s2 = linear_seconds(d2);
  int64_t r = 0;
  switch (iv) {
    case Interval::Year: r = p2.year - p1.year; break;
    case Interval::Quarter:
      r = (p2.year * 4 + (p2.month - 1) / 3) - (p1.year * 4 + (p1.month - 1) / 3);
      break;
    case Interval::Month: r = (p2.year * 12 + p2.month) - (p1.year * 12 + p1.month); break;
    case Interval::DayOfYear: case Interval::Day: r = floor_div(s2, 86400) - floor_div(s1, 86400); break;
    case Interval::Weekday: r = (floor_div(s2, 86400) - floor_div(s1, 86400)) / 7; break;
    case Interval::Week:
      r = (week_start(floor_div(s2, 86400), first) - week_start(floor_div(s1, 86400), first)) / 7;
      break;
    case Interval::Hour: r = floor_div(s2, 3600) - floor_div(s1, 3600); break;
    case Interval::Minute: r = floor_div(s2, 60) - floor_div(s1, 60); break;
    case Interval::Second: r = s2 - s1; break;
  }
  if (r > INT32_MAX || r < INT32_MIN) raise(kErrOverflow);
  return Variant(static_cast<int32_t>(r));
}

Variant DatePart(BuiltinContext&, Args a) {
  Interval iv = interval_arg(a, 0);
  Variant v = arg(a, 1);
  int first = first_day_arg(a, 2);
  int week = first_week_arg(a, 3);
  if (v.is_null()) return Variant::null();
  double serial = to_date(v);
  Parts p = parts_of(serial);
  int r = 0;
  switch (iv) {
    case Interval::Year: r = p.year; break;
    case Interval::Quarter: r = (p.month - 1) / 3 + 1; break;
    case Interval::Month: r = p.month; break;
    case Interval::DayOfYear:
      r = static_cast<int>(day_number(serial) - static_cast<int64_t>(date_from_parts(p.year, 1, 1))) + 1;
      break;
    case Interval::Day: r = p.day; break;
    case Interval::Weekday: r = weekday_from(day_number(serial), first); break;
    case Interval::Week: r = week_of_year(serial, first, week); break;
    case Interval::Hour: r = p.hour; break;
    case Interval::Minute: r = p.minute; break;
    case Interval::Second: r = p.second; break;
  }
  return Variant(static_cast<int16_t>(r));
}

// A whole-number part argument of DateSerial/TimeSerial (Integer range, 6 beyond it).
int part_arg(Args a, size_t i) { return to_integer(arg(a, i)); }

Variant DateSerial(BuiltinContext&, Args a) {
  return Variant::date(date_from_parts(part_arg(a, 0), part_arg(a, 1), part_arg(a, 2)));
}

Variant TimeSerial(BuiltinContext&, Args a) {
  return Variant::date(time_from_parts(part_arg(a, 0), part_arg(a, 1), part_arg(a, 2)));
}

Variant DateValue(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return Variant::date(std::trunc(to_date(v)));
}

Variant TimeValue(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  double serial = to_date(v);
  return Variant::date(std::fabs(serial - std::trunc(serial)));
}

Variant IsDate(BuiltinContext&, Args a) {
  if (a[0].is_object()) return Variant(false);   // an object (Nothing too) is no date
  Variant v = arg(a, 0);
  if (v.is(VT::Date)) return Variant(true);
  if (!v.is_string()) return Variant(false);
  double serial;
  return Variant(parse_date(v.str_view(), serial));
}

Variant MonthName(BuiltinContext&, Args a) {
  refuse_null_args(a, 0);
  int month = to_long(arg(a, 0));
  bool abbreviate = given(a, 1) && to_bool(arg(a, 1));
  return Variant(month_name(month, abbreviate));
}

Variant WeekdayName(BuiltinContext&, Args a) {
  refuse_null_args(a, 0);
  int weekday = to_long(arg(a, 0));
  bool abbreviate = given(a, 1) && to_bool(arg(a, 1));
  int first = first_day_arg(a, 2);
  if (weekday < 1 || weekday > 7) invalid_argument();
  return Variant(weekday_name((weekday - 1 + first - 1) % 7 + 1, abbreviate));
}

constexpr BuiltinFunction kTable[] = {
    {u"Date", 0, 0, Date},
    {u"Time", 0, 0, Time},
    {u"Now", 0, 0, Now},
    {u"Timer", 0, 0, Timer},
    {u"Year", 1, 1, part<&Parts::year>},
    {u"Month", 1, 1, part<&Parts::month>},
    {u"Day", 1, 1, part<&Parts::day>},
    {u"Hour", 1, 1, part<&Parts::hour>},
    {u"Minute", 1, 1, part<&Parts::minute>},
    {u"Second", 1, 1, part<&Parts::second>},
    {u"Weekday", 1, 2, Weekday},
    {u"DateAdd", 3, 3, DateAdd},
    {u"DateDiff", 3, 5, DateDiff},
    {u"DatePart", 2, 4, DatePart},
    {u"DateSerial", 3, 3, DateSerial},
    {u"TimeSerial", 3, 3, TimeSerial},
    {u"DateValue", 1, 1, DateValue},
    {u"TimeValue", 1, 1, TimeValue},
    {u"IsDate", 1, 1, IsDate},
    {u"MonthName", 1, 2, MonthName},
    {u"WeekdayName", 1, 3, WeekdayName},
};

}  // namespace

std::span<const BuiltinFunction> date_functions() { return kTable; }

}  // namespace qz::builtins
