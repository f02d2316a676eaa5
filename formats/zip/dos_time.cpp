#include "formats/zip/dos_time.h"

namespace qz {

namespace {
int days_in_month(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}
}  // namespace

DosDateTime dos_from_calendar(const CalendarTime& t) {
  if (t.year < 1980) return DosDateTime{static_cast<uint16_t>((0 << 9) | (1 << 5) | 1), 0};
  if (t.year > 2107) return DosDateTime{static_cast<uint16_t>((127 << 9) | (12 << 5) | 31), static_cast<uint16_t>((23 << 11) | (59 << 5) | 29)};
  DosDateTime d;
  d.date = static_cast<uint16_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
  d.time = static_cast<uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
  return d;
}

bool calendar_from_dos(DosDateTime dos, CalendarTime& out) {
  CalendarTime t;
  t.year = 1980 + (dos.date >> 9);
  t.month = (dos.date >> 5) & 15;
  t.day = dos.date & 31;
  t.hour = dos.time >> 11;
  t.minute = (dos.time >> 5) & 63;
  t.second = (dos.time & 31) * 2;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > days_in_month(t.year, t.month)) return false;
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return false;
  out = t;
  return true;
}

DosDateTime dos_from_unix(time_t t) {
  struct tm local;
  if (!localtime_r(&t, &local)) return DosDateTime{};
  return dos_from_calendar(CalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                        local.tm_min, local.tm_sec});
}

bool unix_from_dos(DosDateTime dos, time_t& out) {
  CalendarTime c;
  if (!calendar_from_dos(dos, c)) return false;
  struct tm local{};
  local.tm_year = c.year - 1900;
  local.tm_mon = c.month - 1;
  local.tm_mday = c.day;
  local.tm_hour = c.hour;
  local.tm_min = c.minute;
  local.tm_sec = c.second;
  local.tm_isdst = -1;
  out = mktime(&local);
  return out != static_cast<time_t>(-1);
}

}  // namespace qz
