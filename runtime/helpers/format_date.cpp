// One date section of a user-defined format (English, United States): d dd ddd dddd ddddd
// dddddd, w ww, m mm mmm mmmm (minutes right after an hour), q, y yy yyyy, h hh, n nn, s ss,
// ttttt, c, AM/PM am/pm A/P a/p AMPM, the separators "/" and ":", and literal characters.
#include <algorithm>
#include <string>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/helpers/format_parts.h"
#include "script/builtins/date_math.h"

namespace qz::fmt {

namespace {

using builtins::month_name;
using builtins::weekday_name;

std::u16string number(int v, int width) {
  std::u16string s = u16(std::to_string(v).c_str());
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), u'0');
  return s;
}

using Parts = DateParts;

bool ieq(char16_t a, char16_t b) { return fold_case(a) == fold_case(b); }

// Length of the AM/PM marker starting at items[i] ("AM/PM", "A/P", "AMPM"), 0 when none.
size_t ampm_length(const std::vector<FormatItem>& items, size_t i) {
  auto match = [&](std::u16string_view word) {
    if (i + word.size() > items.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
      if (items[i + k].literal || !ieq(items[i + k].ch, word[k])) return false;
    return true;
  };
  if (match(u"am/pm")) return 5;
  if (match(u"ampm")) return 4;
  if (match(u"a/p")) return 3;
  return 0;
}

size_t run_length(const std::vector<FormatItem>& items, size_t i) {
  size_t n = 1;
  while (i + n < items.size() && !items[i + n].literal && ieq(items[i + n].ch, items[i].ch)) ++n;
  return n;
}

std::u16string short_date(const Parts& p) {
  return number(p.month, 1) + u"/" + number(p.day, 1) + u"/" + number(p.year, 4);
}
std::u16string long_date(const Parts& p) {
  return std::u16string(weekday_name(p.weekday, false)) + u", " + std::u16string(month_name(p.month, false)) + u" " +
         number(p.day, 1) + u", " + number(p.year, 4);
}
std::u16string long_time(const Parts& p) {
  int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  return number(h12, 1) + u":" + number(p.minute, 2) + u":" + number(p.second, 2) + (p.hour < 12 ? u" AM" : u" PM");
}

}  // namespace

std::u16string format_date_section(double serial, std::u16string_view section, int first_day_of_week,
                                   int first_week_of_year) {
  if (!valid_date(serial)) raise(kErrOverflow);
  const Parts p = date_parts(serial);
  const int64_t day = builtins::day_number(serial);

  std::vector<FormatItem> items = scan_items(section);
  bool twelve_hour = false;
  for (size_t i = 0; i < items.size(); ++i)
    if (!items[i].literal && ampm_length(items, i)) twelve_hour = true;

  std::u16string out;
  bool after_hour = false;  // the last date or time token was an hour
  for (size_t i = 0; i < items.size();) {
    const FormatItem& it = items[i];
    if (it.literal) {
      out += it.text;
      ++i;
      continue;
    }
    if (size_t n = ampm_length(items, i)) {
      bool pm = p.hour >= 12;
      if (n == 4) {
        out += pm ? u"PM" : u"AM";
      } else {
        // The case of the marker's first letter gives the case of the result.
        bool lower_case = items[i].ch == u'a';
        std::u16string word = n == 5 ? (pm ? u"PM" : u"AM") : (pm ? u"P" : u"A");
        out += lower_case ? lower(word) : word;
      }
      i += n;
      continue;
    }
    const char16_t c = static_cast<char16_t>(fold_case(it.ch));
    size_t run = run_length(items, i);
    size_t used = run;
    bool hour_token = false;
    switch (c) {
      case u'd':
        used = std::min<size_t>(run, 6);
        switch (used) {
          case 1: out += number(p.day, 1); break;
          case 2: out += number(p.day, 2); break;
          case 3: out += weekday_name(p.weekday, true); break;
          case 4: out += weekday_name(p.weekday, false); break;
          case 5: out += short_date(p); break;
          default: out += long_date(p); break;
        }
        break;
      case u'w':
        used = std::min<size_t>(run, 2);
        if (used == 1) out += number(builtins::weekday_from(day, first_day_of_week), 1);
        else out += number(builtins::week_of_year(serial, first_day_of_week, first_week_of_year), 1);
        break;
      case u'm':
        used = std::min<size_t>(run, 4);
        if (after_hour && used <= 2) {
          out += number(p.minute, static_cast<int>(used));
        } else if (used <= 2) {
          out += number(p.month, static_cast<int>(used));
        } else {
          out += month_name(p.month, used == 3);
        }
        break;
      case u'q':
        used = 1;
        out += number((p.month - 1) / 3 + 1, 1);
        break;
      case u'y':
        if (run >= 4) {
          used = 4;
          out += number(p.year, 4);
        } else if (run >= 2) {
          used = 2;
          out += number(p.year % 100, 2);
        } else {
          used = 1;
          out += number(static_cast<int>(day - builtins::day_number(date_from_parts(p.year, 1, 1))) + 1, 1);
        }
        break;
      case u'h': {
        used = std::min<size_t>(run, 2);
        int h = twelve_hour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
        out += number(h, static_cast<int>(used));
        hour_token = true;
        break;
      }
      case u'n':
        used = std::min<size_t>(run, 2);
        out += number(p.minute, static_cast<int>(used));
        break;
      case u's':
        used = std::min<size_t>(run, 2);
        out += number(p.second, static_cast<int>(used));
        break;
      case u't':
        if (run >= 5) {
          used = 5;
          out += long_time(p);
        } else {
          used = 1;
          out.push_back(it.ch);
          ++i;
          continue;  // a literal "t" leaves the hour context as it was
        }
        break;
      case u'c':
        used = 1;
        out += format_date(serial);
        break;
      default:
        // Separators and every other character stand for themselves.
        out.push_back(it.ch);
        ++i;
        continue;
    }
    after_hour = hour_token;
    i += used;
  }
  return out;
}

}  // namespace qz::fmt
