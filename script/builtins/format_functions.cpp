// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime with the English (United
// States) regional settings: two decimals, leading zero, "," groups of three, "$" in front,
// negative currency in parentheses.
#include <cmath>
#include <cstdio>
#include <string>

#include "script/builtins/builtin_support.h"
#include "script/builtins/date_math.h"

namespace qz::builtins {
namespace {

// A decimal number: value = 0.DIGITS x 10^point (point digits stand before the decimal point).
struct Decimal {
  bool negative = false;
  std::string digits;
  int point = 0;
};

Decimal decimal_of_double(double x) {
  if (!std::isfinite(x)) raise(kErrOverflow);
  Decimal d;
  d.negative = std::signbit(x) && x != 0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));  // 15 significant digits, as CStr shows them
  std::string s(buf);
  size_t e = s.find('e');
  d.digits = s.substr(0, 1) + s.substr(2, e - 2);
  d.point = std::stoi(s.substr(e + 1)) + 1;
  return d;
}

Decimal decimal_of_currency(int64_t scaled) {
  Decimal d;
  d.negative = scaled < 0;
  uint64_t mag = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  d.digits = std::to_string(mag);
  d.point = static_cast<int>(d.digits.size()) - 4;
  return d;
}

// Rounds half away from zero to `places` decimals.
void round_to(Decimal& d, int places) {
  long keep = static_cast<long>(d.point) + places;
  if (keep >= static_cast<long>(d.digits.size())) return;
  if (keep < 0) { d.digits = "0"; d.point = 1; return; }
  bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    long i = keep - 1;
    for (; i >= 0; --i) {
      if (d.digits[static_cast<size_t>(i)] == '9') {
        d.digits[static_cast<size_t>(i)] = '0';
      } else {
        ++d.digits[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) { d.digits.insert(d.digits.begin(), '1'); ++d.point; }
  }
}

struct NumberStyle {
  int places;
  bool leading_zero;
  bool parens;
  bool group;
};

// The digits of d with the style's decimals, leading zero and grouping (no sign).
std::u16string number_text(Decimal d, const NumberStyle& st) {
  round_to(d, st.places);
  auto digit_at = [&](long i) -> char16_t {
    return i >= 0 && i < static_cast<long>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : u'0';
  };
  std::u16string whole;
  for (long i = 0; i < d.point; ++i) whole.push_back(digit_at(i));
  size_t nz = whole.find_first_not_of(u'0');
  whole = nz == std::u16string::npos ? std::u16string() : whole.substr(nz);
  if (whole.empty() && (st.leading_zero || st.places == 0)) whole = u"0";
  if (st.group && whole.size() > 3) {
    std::u16string g;
    for (size_t i = 0; i < whole.size(); ++i) {
      if (i && (whole.size() - i) % 3 == 0) g.push_back(u',');
      g.push_back(whole[i]);
    }
    whole = g;
  }
  if (st.places > 0) {
    whole.push_back(u'.');
    for (int i = 0; i < st.places; ++i) whole.push_back(digit_at(d.point + i));
  }
  return whole;
}

// A Tristate argument (-2 or missing: the regional default).
bool tristate_arg(Args a, size_t i, bool regional) {
  if (!given(a, i)) return regional;
  int32_t t = to_long(arg(a, i));
  if (t == -2) return regional;
  return t != 0;
}

Decimal number_arg(Args a, size_t i) {
  Variant v = arg(a, i);
  if (v.is_null()) raise(kErrTypeMismatch);
  if (v.is(VT::Currency)) return decimal_of_currency(v.as_currency());
  return decimal_of_double(to_double(v));
}

NumberStyle style_args(Args a, bool regional_parens) {
  NumberStyle st;
  int32_t places = long_arg(a, 1, -1);
  if (places < -1 || places > 255) invalid_argument();
  st.places = places == -1 ? 2 : places;
  st.leading_zero = tristate_arg(a, 2, true);
  st.parens = tristate_arg(a, 3, regional_parens);
  st.group = tristate_arg(a, 4, true);
  return st;
}

std::u16string signed_text(bool negative, bool parens, std::u16string body) {
  if (!negative) return body;
  return parens ? u"(" + body + u")" : u"-" + body;
}

Variant FormatNumber(BuiltinContext&, Args a) {
  Decimal d = number_arg(a, 0);
  NumberStyle st = style_args(a, false);
  return Variant(Str(signed_text(d.negative, st.parens, number_text(d, st))));
}

Variant FormatCurrency(BuiltinContext&, Args a) {
  Decimal d = number_arg(a, 0);
  NumberStyle st = style_args(a, true);
  return Variant(Str(signed_text(d.negative, st.parens, u"$" + number_text(d, st))));
}

Variant FormatPercent(BuiltinContext&, Args a) {
  Decimal d = number_arg(a, 0);
  d.point += 2;  // times 100, exactly
  NumberStyle st = style_args(a, false);
  return Variant(Str(signed_text(d.negative, st.parens, number_text(d, st) + u"%")));
}

std::u16string padded(int value, int width) {
  std::u16string s = u16(std::to_string(value).c_str());
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), u'0');
  return s;
}

Variant FormatDateTime(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) raise(kErrTypeMismatch);
  double serial = to_date(v);
  int32_t style = long_arg(a, 1, 0);
  int y, m, d, h, mi, s, wd;
  date_to_parts(serial, y, m, d, h, mi, s, wd);
  std::u16string out;
  switch (style) {
    case 0: out = format_date(serial); break;
    case 1:
      out = std::u16string(weekday_name(wd, false)) + u", " + std::u16string(month_name(m, false)) + u" " +
            padded(d, 1) + u", " + padded(y, 4);
      break;
    case 2: out = padded(m, 1) + u"/" + padded(d, 1) + u"/" + padded(y, 4); break;
    case 3:
      out = padded(h % 12 == 0 ? 12 : h % 12, 1) + u":" + padded(mi, 2) + u":" + padded(s, 2) +
            (h < 12 ? u" AM" : u" PM");
      break;
    case 4: out = padded(h, 2) + u":" + padded(mi, 2); break;
    default: invalid_argument();
  }
  return Variant(Str(out));
}

constexpr BuiltinFunction kTable[] = {
    {u"FormatNumber", 1, 5, FormatNumber},
    {u"FormatCurrency", 1, 5, FormatCurrency},
    {u"FormatPercent", 1, 5, FormatPercent},
    {u"FormatDateTime", 1, 2, FormatDateTime},
};

}  // namespace

std::span<const BuiltinFunction> format_functions() { return kTable; }

}  // namespace qz::builtins
