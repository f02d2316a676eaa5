// One number section of a user-defined format: digit placeholders "0" (a digit or 0) and "#"
// (a digit or nothing), the decimal point, "," for thousands groups (between digit
// placeholders) or for scaling by 1000 (right after the last integer placeholder), "%" (times
// 100), "E+", "E-", "e+", "e-" for scientific form, and literal characters.
#include <algorithm>
#include <string>

#include "runtime/helpers/format_parts.h"

namespace qz::fmt {

namespace {

bool is_digit_placeholder(const FormatItem& it) { return !it.literal && (it.ch == u'0' || it.ch == u'#'); }

struct Layout {
  std::vector<FormatItem> items;
  size_t decimal = std::string::npos;   // index of the decimal point item
  size_t exponent = std::string::npos;  // index of the E item
  size_t int_end = 0;                   // end of the integer part (decimal point, exponent or end)
  int int_placeholders = 0;
  int int_min_digits = 0;               // placeholders from the first "0" of the integer part on
  int frac_placeholders = 0;
  bool grouping = false;
  int scale_thousands = 0;
  int percents = 0;
  std::vector<size_t> scaling_commas;   // commas that scale rather than group: not shown
};

Layout analyse(std::u16string_view section) {
  Layout L;
  L.items = scan_items(section);
  auto& items = L.items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].literal) continue;
    char16_t c = items[i].ch;
    if (c == u'.' && L.decimal == std::string::npos && L.exponent == std::string::npos) L.decimal = i;
    if ((c == u'E' || c == u'e') && L.exponent == std::string::npos && i + 1 < items.size() &&
        !items[i + 1].literal && (items[i + 1].ch == u'+' || items[i + 1].ch == u'-'))
      L.exponent = i;
    if (c == u'%') ++L.percents;
  }
  L.int_end = std::min(L.decimal, L.exponent);
  if (L.int_end > items.size()) L.int_end = items.size();

  // Integer placeholders, the first "0" among them, and the commas.
  size_t last_digit = std::string::npos;
  bool seen_zero = false;
  for (size_t i = 0; i < L.int_end; ++i) {
    if (!is_digit_placeholder(items[i])) continue;
    ++L.int_placeholders;
    if (items[i].ch == u'0') seen_zero = true;
    if (seen_zero) ++L.int_min_digits;
    last_digit = i;
  }
  for (size_t i = 0; i < L.int_end; ++i) {
    if (items[i].literal || items[i].ch != u',') continue;
    if (last_digit != std::string::npos && i > last_digit) {
      L.scaling_commas.push_back(i);
    } else {
      L.grouping = true;
    }
  }
  // Only commas right after the last placeholder scale; the others after it are shown.
  std::vector<size_t> scaling;
  for (size_t k = 0; k < L.scaling_commas.size(); ++k) {
    if (L.scaling_commas[k] == last_digit + 1 + k) scaling.push_back(L.scaling_commas[k]);
  }
  L.scaling_commas = scaling;
  L.scale_thousands = static_cast<int>(scaling.size());

  if (L.decimal != std::string::npos) {
    size_t frac_end = L.exponent == std::string::npos ? items.size() : L.exponent;
    for (size_t i = L.decimal + 1; i < frac_end; ++i)
      if (is_digit_placeholder(items[i])) ++L.frac_placeholders;
  }
  return L;
}

bool is_scaling_comma(const Layout& L, size_t i) {
  for (size_t k : L.scaling_commas)
    if (k == i) return true;
  return false;
}

// Writes the integer part: `digits` spread over the placeholders from the right, extra
// leading digits at the first placeholder, literals where they stand, groups of three.
void write_integer(const Layout& L, std::string digits, std::u16string& out) {
  if (static_cast<int>(digits.size()) < L.int_min_digits)
    digits.insert(0, static_cast<size_t>(L.int_min_digits) - digits.size(), '0');
  const int total = static_cast<int>(digits.size());
  int placeholder = 0;  // placeholders met so far
  int next = 0;         // next digit to write
  auto put_digit = [&](int k) {
    out.push_back(static_cast<char16_t>(digits[static_cast<size_t>(k)]));
    int right = total - k - 1;
    if (L.grouping && right > 0 && right % 3 == 0) out.push_back(u',');
  };
  for (size_t i = 0; i < L.int_end; ++i) {
    const FormatItem& it = L.items[i];
    if (it.literal) {
      out += it.text;
      continue;
    }
    if (is_digit_placeholder(it)) {
      int remaining_placeholders = L.int_placeholders - placeholder;
      ++placeholder;
      // Digits still to write beyond one per remaining placeholder go here.
      int take = total - next - (remaining_placeholders - 1);
      for (int k = 0; k < take; ++k) put_digit(next++);
      continue;
    }
    if (it.ch == u',') {
      if (!L.grouping && !is_scaling_comma(L, i)) out.push_back(u',');
      continue;
    }
    out.push_back(it.ch);
  }
  while (next < total) put_digit(next++);  // a section without integer placeholders
}

// The fraction: digits at "0" always, at trailing "#" only when not zero.
void write_fraction(const Layout& L, const std::string& digits, size_t end, std::u16string& out) {
  // How many fraction digits to show: trailing "#" whose digit is 0 are dropped.
  std::vector<char16_t> kinds;
  for (size_t i = L.decimal + 1; i < end; ++i)
    if (is_digit_placeholder(L.items[i])) kinds.push_back(L.items[i].ch);
  int shown = static_cast<int>(kinds.size());
  while (shown > 0 && kinds[static_cast<size_t>(shown) - 1] == u'#' && digits[static_cast<size_t>(shown) - 1] == '0') --shown;
  out.push_back(u'.');
  int k = 0;
  for (size_t i = L.decimal + 1; i < end; ++i) {
    const FormatItem& it = L.items[i];
    if (it.literal) {
      out += it.text;
    } else if (is_digit_placeholder(it)) {
      if (k < shown) out.push_back(static_cast<char16_t>(digits[static_cast<size_t>(k)]));
      ++k;
    } else if (it.ch != u',') {
      out.push_back(it.ch);
    }
  }
}

void write_rest(const Layout& L, size_t from, size_t to, std::u16string& out) {
  for (size_t i = from; i < to && i < L.items.size(); ++i) {
    const FormatItem& it = L.items[i];
    if (it.literal) out += it.text;
    else if (it.ch != u',') out.push_back(it.ch);
  }
}

void write_exponent(const Layout& L, int exponent, std::u16string& out) {
  const FormatItem& e = L.items[L.exponent];
  const bool always_sign = L.items[L.exponent + 1].ch == u'+';
  out.push_back(e.ch);
  if (exponent < 0) out.push_back(u'-');
  else if (always_sign) out.push_back(u'+');
  int zeros = 0, placeholders = 0;
  size_t i = L.exponent + 2;
  std::u16string tail;
  for (; i < L.items.size(); ++i) {
    const FormatItem& it = L.items[i];
    if (!is_digit_placeholder(it)) break;
    ++placeholders;
    if (it.ch == u'0') ++zeros;
  }
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (digits == "0" && zeros == 0) digits.clear();
  if (static_cast<int>(digits.size()) < zeros) digits.insert(0, static_cast<size_t>(zeros) - digits.size(), '0');
  for (char d : digits) out.push_back(static_cast<char16_t>(d));
  write_rest(L, i, L.items.size(), out);
}

}  // namespace

std::u16string format_number_section(Decimal value, bool sign, std::u16string_view section) {
  Layout L = analyse(section);
  value.point += 2 * L.percents - 3 * L.scale_thousands;

  std::u16string out;
  if (L.int_placeholders == 0 && L.frac_placeholders == 0 && L.exponent == std::string::npos) {
    // A section of literals only ("Zero", "\N\o") shows its text, not the number.
    if (sign) out.push_back(u'-');
    write_rest(L, 0, L.items.size(), out);
    return out;
  }
  if (L.exponent != std::string::npos) {
    const int int_digits = L.int_placeholders > 0 ? L.int_placeholders : 1;
    int exponent = 0;
    if (!value.is_zero()) {
      exponent = value.point - int_digits;
      value.point = int_digits;
      value.round_to(L.frac_placeholders);
      if (value.point > int_digits) {  // 9.99 rounded up to 10.0
        exponent += value.point - int_digits;
        value.point = int_digits;
      }
    }
    if (sign) out.push_back(u'-');
    write_integer(L, value.integer_digits(), out);
    if (L.decimal != std::string::npos) write_fraction(L, value.fraction_digits(L.frac_placeholders), L.exponent, out);
    write_exponent(L, exponent, out);
    return out;
  }

  value.round_to(L.frac_placeholders);
  if (sign) out.push_back(u'-');
  write_integer(L, value.integer_digits(), out);
  if (L.decimal != std::string::npos) write_fraction(L, value.fraction_digits(L.frac_placeholders), L.items.size(), out);
  return out;
}

}  // namespace qz::fmt
