// Date serials: days since 1899-12-30 with the time of day as the fraction. Days before the
// epoch count back while their time still counts forward (-1.25 is 1899-12-29 06:00), so the
// calendar day of a serial is its integer part and the time its absolute fraction.
#include <cmath>
#include <cstdio>

#include "com/convert.h"
#include "com/date_calendar.h"
#include "com/error.h"

namespace qz {

namespace {

int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t floor_mod(int64_t a, int64_t b) { return a - floor_div(a, b) * b; }

// 1970-01-01 lies 25569 days after the serial epoch.
constexpr int64_t kUnixEpochSerial = 25569;

}  // namespace

int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  int64_t era = floor_div(y, 400);
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kUnixEpochSerial;
}

void civil_from_days(int64_t serial_day, int64_t& y, int& m, int& d) {
  int64_t z = serial_day - kUnixEpochSerial + 719468;
  int64_t era = floor_div(z, 146097);
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

bool is_leap_year(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int64_t y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && is_leap_year(y)) return 29;
  return kDays[m - 1];
}

int expand_two_digit_year(int year) {
  if (year >= 0 && year <= 29) return year + 2000;
  if (year >= 30 && year <= 99) return year + 1900;
  return year;
}

double serial_from_day_time(int64_t day, int64_t seconds) {
  double t = static_cast<double>(seconds) / 86400.0;
  return day >= 0 ? static_cast<double>(day) + t : static_cast<double>(day) - t;
}

void split_serial(double serial, int64_t& day, int64_t& seconds) {
  if (!std::isfinite(serial) || std::fabs(serial) > 1e12) raise(kErrOverflow);
  double whole = std::trunc(serial);
  day = static_cast<int64_t>(whole);
  seconds = std::llround(std::fabs(serial - whole) * 86400.0);
  if (seconds >= 86400) {
    ++day;
    seconds -= 86400;
  }
}

bool valid_date(double serial) {
  return serial > kMinDateSerial - 1.0 && serial < kMaxDateSerial + 1.0;
}

double date_from_parts(int year, int month, int day) {
  int64_t y = expand_two_digit_year(year) + floor_div(static_cast<int64_t>(month) - 1, 12);
  int m = static_cast<int>(floor_mod(static_cast<int64_t>(month) - 1, 12)) + 1;
  if (y < -1000000 || y > 1000000) raise(kErrIllegalCall);
  int64_t serial = days_from_civil(y, m, 1) + (static_cast<int64_t>(day) - 1);
  if (serial < kMinDateSerial || serial > kMaxDateSerial) raise(kErrIllegalCall);
  return static_cast<double>(serial);
}

double time_from_parts(int hour, int minute, int second) {
  int64_t total = static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
  int64_t day = floor_div(total, 86400);
  if (day < kMinDateSerial || day > kMaxDateSerial) raise(kErrIllegalCall);
  return serial_from_day_time(day, floor_mod(total, 86400));
}

void date_to_parts(double serial, int& year, int& month, int& day, int& hour, int& minute,
                   int& second, int& weekday) {
  int64_t d = 0, secs = 0;
  split_serial(serial, d, secs);
  int64_t y = 0;
  civil_from_days(d, y, month, day);
  year = static_cast<int>(y);
  hour = static_cast<int>(secs / 3600);
  minute = static_cast<int>(secs / 60 % 60);
  second = static_cast<int>(secs % 60);
  weekday = static_cast<int>(floor_mod(d + 6, 7)) + 1;  // serial 0 was a Saturday
}

std::u16string format_date(double serial) {
  int64_t d = 0, secs = 0;
  split_serial(serial, d, secs);
  char buf[64];
  int len = 0;
  if (d != 0) {
    int64_t y = 0;
    int m = 0, dd = 0;
    civil_from_days(d, y, m, dd);
    len = std::snprintf(buf, sizeof buf, "%d/%d/%lld", m, dd, static_cast<long long>(y));
  }
  if (secs != 0 || d == 0) {
    int h = static_cast<int>(secs / 3600);
    int h12 = h % 12 == 0 ? 12 : h % 12;
    len += std::snprintf(buf + len, sizeof buf - static_cast<size_t>(len), "%s%d:%02d:%02d %s",
                         len ? " " : "", h12, static_cast<int>(secs / 60 % 60),
                         static_cast<int>(secs % 60), h < 12 ? "AM" : "PM");
  }
  return std::u16string(buf, buf + len);
}

DateParts date_parts(double serial) {
  DateParts p{};
  date_to_parts(serial, p.year, p.month, p.day, p.hour, p.minute, p.second, p.weekday);
  return p;
}

}  // namespace qz
