// Calendar arithmetic on date serials (proleptic Gregorian calendar, day 0 = 1899-12-30).
#pragma once
#include <cstdint>

namespace qz {

// Day number of a calendar date (month 1-12, day 1-31, no rolling).
int64_t days_from_civil(int64_t year, int64_t month, int64_t day);
void civil_from_days(int64_t serial_day, int64_t& year, int& month, int& day);
bool is_leap_year(int64_t year);
int days_in_month(int64_t year, int month);
// Two-digit years as the language reads them: 0-29 are 2000-2029, 30-99 are 1930-1999.
int expand_two_digit_year(int year);

// A serial from a calendar day and the seconds into it (0-86399), and back: the seconds are
// rounded to the nearest second, carrying into the next day.
double serial_from_day_time(int64_t day, int64_t seconds);
void split_serial(double serial, int64_t& day, int64_t& seconds);  // 6 when not finite

}  // namespace qz
