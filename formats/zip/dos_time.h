// DOS date and time, the 16-bit pair that archive headers hold: time = hour*2048 + minute*32 +
// second/2, date = (year - 1980)*512 + month*32 + day, in local time.
#pragma once
#include <cstdint>
#include <ctime>

namespace qz {

struct DosDateTime {
  uint16_t date = 0;
  uint16_t time = 0;
};

struct CalendarTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// A calendar time outside 1980-2107 is clamped to the nearest end the format can hold;
// seconds round down to even.
DosDateTime dos_from_calendar(const CalendarTime& t);
// False when the pair is not a real date and time (month 0, day 31 of April, hour 24 ...).
bool calendar_from_dos(DosDateTime dos, CalendarTime& out);

// A file time (seconds since the epoch) as local DOS date and time, and back.
DosDateTime dos_from_unix(time_t t);
bool unix_from_dos(DosDateTime dos, time_t& out);

}  // namespace qz
