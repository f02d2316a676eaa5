#include "script/builtins/date_math.h"

#include <cmath>
#include <ctime>

#include "com/convert.h"
#include "com/date_calendar.h"
#include "com/error.h"

namespace qz::builtins {

namespace {
int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int64_t linear_seconds(double serial) {
  int64_t day = 0, secs = 0;
  split_serial(serial, day, secs);
  return day * 86400 + secs;
}

double serial_from_seconds(int64_t seconds) {
  int64_t day = floor_div(seconds, 86400);
  return serial_from_day_time(day, seconds - day * 86400);
}

double checked_serial(double serial) {
  if (!valid_date(serial)) raise(kErrIllegalCall);
  return serial;
}

int64_t day_number(double serial) {
  int64_t day = 0, secs = 0;
  split_serial(serial, day, secs);
  return day;
}

int weekday_of(int64_t day) {
  // Day 0 (1899-12-30) was a Saturday.
  int64_t r = (day + 6) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

int weekday_from(int64_t day, int first_day) { return (weekday_of(day) - first_day + 7) % 7 + 1; }

int64_t week_start(int64_t day, int first_day) { return day - (weekday_from(day, first_day) - 1); }

static int64_t first_week_start(int year, int first_day, int first_week) {
  int64_t jan1 = static_cast<int64_t>(date_from_parts(year, 1, 1));
  int64_t start = week_start(jan1, first_day);
  if (first_week == 2 && jan1 - start > 3) start += 7;   // fewer than four days in the year
  if (first_week == 3 && start != jan1) start += 7;       // not a full week
  return start;
}

int week_of_year(double serial, int first_day, int first_week) {
  int y, m, d, h, mi, s, wd;
  date_to_parts(serial, y, m, d, h, mi, s, wd);
  int64_t day = day_number(serial);
  int64_t start = first_week_start(y, first_day, first_week);
  if (day < start) start = first_week_start(y - 1, first_day, first_week);
  return static_cast<int>(floor_div(week_start(day, first_day) - start, 7)) + 1;
}

std::u16string_view month_name(int month, bool abbreviate) {
  static constexpr std::u16string_view full[] = {u"January", u"February", u"March", u"April",
                                                 u"May", u"June", u"July", u"August",
                                                 u"September", u"October", u"November", u"December"};
  static constexpr std::u16string_view shortened[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                      u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  if (month < 1 || month > 12) raise(kErrIllegalCall);
  return abbreviate ? shortened[month - 1] : full[month - 1];
}

std::u16string_view weekday_name(int weekday, bool abbreviate) {
  static constexpr std::u16string_view full[] = {u"Sunday", u"Monday", u"Tuesday", u"Wednesday",
                                                 u"Thursday", u"Friday", u"Saturday"};
  static constexpr std::u16string_view shortened[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
  if (weekday < 1 || weekday > 7) raise(kErrIllegalCall);
  return abbreviate ? shortened[weekday - 1] : full[weekday - 1];
}

LocalTime local_time() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  time_t now = ts.tv_sec;
  tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 10000000)};
}

float seconds_since_midnight() {
  LocalTime t = local_time();
  return static_cast<float>(t.hour * 3600.0 + t.minute * 60.0 + t.second + t.centisecond / 100.0);
}

}  // namespace qz::builtins
