// Reading dates and times from text as CDate and IsDate do with English (United States)
// settings: month/day/year by default, day/month when the first number cannot be a month,
// year first when it has three or more digits; month names and abbreviations; h:mm[:ss] with
// an optional AM/PM, or an hour with AM/PM.
#include <ctime>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/date_calendar.h"

namespace qz {

namespace {

struct Token {
  enum Kind { Number, Word, DateSep, Colon, Comma } kind;
  int64_t value = 0;
  int digits = 0;
  char16_t ch = 0;
  std::u16string word;  // lower-cased
};

struct DateNumber {
  int64_t value;
  int digits;
};

bool is_blank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool is_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool tokenize(std::u16string_view text, std::vector<Token>& out) {
  size_t i = 0;
  while (i < text.size()) {
    char16_t c = text[i];
    if (is_blank(c)) { ++i; continue; }
    Token t{};
    if (c >= u'0' && c <= u'9') {
      t.kind = Token::Number;
      while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (++t.digits > 9) return false;
        t.value = t.value * 10 + (text[i] - u'0');
        ++i;
      }
    } else if (is_letter(c)) {
      t.kind = Token::Word;
      while (i < text.size() && is_letter(text[i])) {
        if (t.word.size() > 16) return false;
        t.word.push_back(text[i] | 0x20);
        ++i;
      }
    } else if (c == u'/' || c == u'-' || c == u'.') {
      t.kind = Token::DateSep;
      t.ch = c;
      ++i;
    } else if (c == u':') {
      t.kind = Token::Colon;
      ++i;
    } else if (c == u',') {
      t.kind = Token::Comma;
      ++i;
    } else {
      return false;
    }
    out.push_back(std::move(t));
  }
  return true;
}

// 1-12 for a month name or an abbreviation of at least three letters; 0 otherwise.
int month_from_word(const std::u16string& w) {
  static const char16_t* const kMonths[] = {u"january", u"february", u"march",     u"april",
                                            u"may",     u"june",     u"july",      u"august",
                                            u"september", u"october", u"november", u"december"};
  if (w.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    std::u16string_view name(kMonths[m]);
    if (w.size() <= name.size() && name.substr(0, w.size()) == w) return m + 1;
  }
  return 0;
}

bool is_weekday_word(const std::u16string& w) {
  static const char16_t* const kDays[] = {u"sunday", u"monday", u"tuesday", u"wednesday",
                                          u"thursday", u"friday", u"saturday"};
  if (w.size() < 3) return false;
  for (const char16_t* d : kDays) {
    std::u16string_view name(d);
    if (w.size() <= name.size() && name.substr(0, w.size()) == w) return true;
  }
  return false;
}

// 1 for AM, 2 for PM, 0 otherwise.
int meridiem_from_word(const std::u16string& w) {
  if (w == u"am" || w == u"a") return 1;
  if (w == u"pm" || w == u"p") return 2;
  return 0;
}

int current_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

bool looks_like_year(const DateNumber& n) { return n.digits >= 3 || n.value > 31; }

int64_t year_of(const DateNumber& n) {
  return n.digits <= 2 ? expand_two_digit_year(static_cast<int>(n.value)) : n.value;
}

bool valid_ymd(int64_t y, int64_t m, int64_t d) {
  return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 &&
         d <= days_in_month(y, static_cast<int>(m));
}

}  // namespace

bool parse_date(std::u16string_view text, double& out) {
  std::vector<Token> toks;
  if (!tokenize(text, toks) || toks.empty()) return false;

  std::vector<DateNumber> nums;
  int month_name = 0;
  bool dotted = false;
  bool have_time = false;
  int64_t hour = 0, minute = 0, second = 0;
  int meridiem = 0;

  auto kind_at = [&](size_t k, Token::Kind kind) { return k < toks.size() && toks[k].kind == kind; };

  size_t k = 0;
  while (k < toks.size()) {
    const Token& t = toks[k];
    if (t.kind == Token::Number && kind_at(k + 1, Token::Colon)) {
      if (have_time || !kind_at(k + 2, Token::Number)) return false;
      have_time = true;
      hour = t.value;
      minute = toks[k + 2].value;
      k += 3;
      if (kind_at(k, Token::Colon)) {
        if (!kind_at(k + 1, Token::Number)) return false;
        second = toks[k + 1].value;
        k += 2;
      }
      if (kind_at(k, Token::Word) && meridiem_from_word(toks[k].word)) {
        meridiem = meridiem_from_word(toks[k].word);
        ++k;
      }
    } else if (t.kind == Token::Number && kind_at(k + 1, Token::Word) &&
               meridiem_from_word(toks[k + 1].word)) {
      if (have_time) return false;
      have_time = true;
      hour = t.value;
      meridiem = meridiem_from_word(toks[k + 1].word);
      k += 2;
    } else if (t.kind == Token::Number || (t.kind == Token::Word && month_from_word(t.word))) {
      if (t.kind == Token::Number) {
        nums.push_back({t.value, t.digits});
      } else {
        if (month_name) return false;
        month_name = month_from_word(t.word);
      }
      ++k;
      if (kind_at(k, Token::DateSep)) {
        dotted |= toks[k].ch == u'.';
        ++k;
        bool next_ok = kind_at(k, Token::Number) || (kind_at(k, Token::Word) && month_from_word(toks[k].word));
        if (!next_ok) return false;
      }
    } else if (t.kind == Token::Word && is_weekday_word(t.word) && nums.empty() && !month_name) {
      ++k;
    } else if (t.kind == Token::Comma && k > 0 && k + 1 < toks.size()) {
      ++k;
    } else {
      return false;
    }
  }

  // The time of day.
  int64_t seconds = 0;
  if (have_time) {
    if (meridiem) {
      if (hour > 12) return false;
      if (hour == 12) hour = 0;
      if (meridiem == 2) hour += 12;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    seconds = hour * 3600 + minute * 60 + second;
  }

  // The date.
  if (nums.empty() && !month_name) {
    if (!have_time) return false;
    out = static_cast<double>(seconds) / 86400.0;
    return true;
  }
  if (dotted && (month_name || nums.size() != 3)) return false;

  int64_t y = 0, m = 0, d = 0;
  if (month_name) {
    m = month_name;
    if (nums.size() == 1) {
      if (looks_like_year(nums[0])) {
        y = year_of(nums[0]);
        d = 1;
      } else {
        y = current_year();
        d = nums[0].value;
      }
    } else if (nums.size() == 2) {
      // "2024 Jan 15" reads the year first; otherwise the day comes before the year.
      if (looks_like_year(nums[0])) {
        y = year_of(nums[0]);
        d = nums[1].value;
      } else {
        d = nums[0].value;
        y = year_of(nums[1]);
      }
    } else {
      return false;
    }
    if (!valid_ymd(y, m, d)) return false;
  } else if (nums.size() == 2) {
    const DateNumber& a = nums[0];
    const DateNumber& b = nums[1];
    int64_t cy = current_year();
    if (valid_ymd(cy, a.value, b.value) && b.digits <= 2) {
      y = cy; m = a.value; d = b.value;
    } else if (valid_ymd(cy, b.value, a.value) && b.digits <= 2 && a.digits <= 2) {
      y = cy; m = b.value; d = a.value;
    } else if (a.value >= 1 && a.value <= 12 && looks_like_year(b)) {
      y = year_of(b); m = a.value; d = 1;
    } else {
      return false;
    }
    if (!valid_ymd(y, m, d)) return false;
  } else if (nums.size() == 3) {
    const DateNumber& a = nums[0];
    const DateNumber& b = nums[1];
    const DateNumber& c = nums[2];
    if (looks_like_year(a)) {
      y = year_of(a);
      if (valid_ymd(y, b.value, c.value)) { m = b.value; d = c.value; }
      else if (valid_ymd(y, c.value, b.value)) { m = c.value; d = b.value; }
      else return false;
    } else {
      y = year_of(c);
      if (valid_ymd(y, a.value, b.value)) { m = a.value; d = b.value; }
      else if (valid_ymd(y, b.value, a.value)) { m = b.value; d = a.value; }
      else return false;
    }
  } else {
    return false;
  }

  out = serial_from_day_time(days_from_civil(y, m, d), seconds);
  return true;
}

}  // namespace qz
