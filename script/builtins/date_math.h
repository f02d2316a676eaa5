// Date arithmetic shared by the date and format functions, on top of the calendar in
// com/date_calendar.h. Before 1899-12-30 a serial's whole part counts back while its fraction
// still counts the time forward, so arithmetic goes through a linear count of seconds.
#pragma once
#include <cstdint>
#include <string_view>

namespace qz::builtins {

// Seconds since the epoch of a serial's calendar day and time (rounded to the second), and
// back; arithmetic on dates goes through this linear count.
int64_t linear_seconds(double serial);
double serial_from_seconds(int64_t seconds);
// Raises 5 when the serial lies outside the years 100 to 9999.
double checked_serial(double serial);
// The calendar day of a serial.
int64_t day_number(double serial);

// 1 = Sunday ... 7 = Saturday of a day number.
int weekday_of(int64_t day);
// The weekday counted from `first_day` (1 = Sunday ... 7 = Saturday).
int weekday_from(int64_t day, int first_day);
// The day number on which the week holding `day` starts.
int64_t week_start(int64_t day, int first_day);

// Week of the year by DatePart's rules (first_week 1: Jan 1, 2: first four-day week,
// 3: first full week); days before week 1 belong to the previous year's last week.
int week_of_year(double serial, int first_day, int first_week);

std::u16string_view month_name(int month, bool abbreviate);      // 1..12
std::u16string_view weekday_name(int weekday, bool abbreviate);  // 1 = Sunday

// Local wall clock.
struct LocalTime {
  int year, month, day, hour, minute, second, centisecond;
};
LocalTime local_time();
// Seconds since local midnight with centisecond resolution, as Timer returns them.
float seconds_since_midnight();

}  // namespace qz::builtins
