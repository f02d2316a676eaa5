#include "runtime/helpers/format_value.h"

#include <optional>
#include <string>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/helpers/format_parts.h"

namespace qz {

namespace {

using fmt::Decimal;
using fmt::SectionKind;

struct NamedFormat {
  std::u16string_view name;
  std::u16string_view expansion;  // empty: handled by code
};

constexpr NamedFormat kNamed[] = {
    {u"general number", u""},
    {u"currency", u"$#,##0.00;($#,##0.00)"},
    {u"fixed", u"0.00"},
    {u"standard", u"#,##0.00"},
    {u"percent", u"0.00%"},
    {u"scientific", u"0.00E+00"},
    {u"yes/no", u""},
    {u"true/false", u""},
    {u"on/off", u""},
    {u"general date", u""},
    {u"long date", u"dddd, mmmm d, yyyy"},
    {u"medium date", u"dd-mmm-yy"},
    {u"short date", u"m/d/yyyy"},
    {u"long time", u"h:mm:ss AM/PM"},
    {u"medium time", u"hh:mm AM/PM"},
    {u"short time", u"hh:mm"},
};

// The value as Format sees it: a number (with its exact digits), a date, a text or Null.
struct Value {
  enum Kind { Number, Date, Text, Null } kind = Text;
  Decimal number;   // Number
  double serial = 0;  // Date, and Number as a date serial
  std::u16string text;  // Text, and what the value shows as by itself
};

Value number_value(const Variant& v) {
  Value r;
  r.kind = Value::Number;
  switch (v.type()) {
    case VT::Byte: case VT::Integer: case VT::Long: case VT::LongLong:
      r.number = Decimal::of_integer(to_longlong(v));
      break;
    case VT::Boolean:
      r.number = Decimal::of_integer(v.as_bool() ? -1 : 0);
      break;
    case VT::Currency:
      r.number = Decimal::of_currency(v.as_currency());
      break;
    case VT::Single:
      r.number = Decimal::of_double(v.as_single(), 7);
      break;
    default:
      r.number = Decimal::of_double(to_double(v), 15);
      break;
  }
  r.serial = v.is(VT::Currency) ? static_cast<double>(v.as_currency()) / 10000.0 : to_double(v);
  r.text = to_u16(v);
  return r;
}

Value classify(const Variant& in) {
  const Variant v = value_of(in);
  Value r;
  switch (v.type()) {
    case VT::Empty:
      return r;
    case VT::Null:
      r.kind = Value::Null;
      return r;
    case VT::Date:
      r.kind = Value::Date;
      r.serial = v.as_date();
      r.number = Decimal::of_double(r.serial, 15);
      r.text = format_date(r.serial);
      return r;
    case VT::String: {
      r.text = v.str_view();
      double d;
      if (parse_number(r.text, d)) {
        Value n = number_value(Variant(d));
        n.text = r.text;
        return n;
      }
      if (parse_date(r.text, d)) {
        r.kind = Value::Date;
        r.serial = d;
        r.number = Decimal::of_double(d, 15);
      }
      return r;
    }
    case VT::Array:
      raise(kErrTypeMismatch);
    default:
      if (v.is_numeric_type() || v.is(VT::Boolean)) return number_value(v);
      r.text = to_u16(v);
      return r;
  }
}

// The value with no format at all, or "General Number" / "General Date".
std::u16string general_text(const Value& v, bool as_number) {
  if (v.kind == Value::Date && !as_number) return format_date(v.serial);
  if (v.kind == Value::Number || (v.kind == Value::Date && as_number)) {
    return as_number ? format_double(v.serial) : v.text;
  }
  return v.text;
}

bool is_negative(const Value& v) { return v.number.negative && !v.number.is_zero(); }

std::u16string format_sections(const Value& v, std::u16string_view format, int fdow, int fwoy) {
  std::vector<std::u16string_view> sections = fmt::split_sections(format);
  const SectionKind kind = fmt::section_kind(sections[0]);
  auto section = [&](size_t i) -> std::u16string_view {
    return i < sections.size() && !sections[i].empty() ? sections[i] : sections[0];
  };

  if (v.kind == Value::Null) {
    if (kind == SectionKind::Text) return sections.size() > 1 ? fmt::format_text_section(u"", sections[1]) : u"";
    return sections.size() > 3 ? fmt::format_number_section(Decimal(), false, sections[3]) : u"";
  }
  if (kind == SectionKind::Text) {
    if (v.text.empty() && sections.size() > 1) return fmt::format_text_section(u"", sections[1]);
    return fmt::format_text_section(v.text, sections[0]);
  }
  if (v.kind == Value::Text) return v.text;  // not a number or a date: shown as it is

  // Sections: positive (and zero when there is no third); negative; zero.
  const bool negative = is_negative(v);
  const bool zero = v.number.is_zero();
  size_t index = 0;
  if (negative && sections.size() > 1 && !sections[1].empty()) index = 1;
  if (zero && sections.size() > 2 && !sections[2].empty()) index = 2;
  std::u16string_view chosen = section(index);
  const bool sign = negative && index == 0;

  if (fmt::section_kind(chosen) == SectionKind::Date) {
    double serial = v.serial;
    std::u16string text = fmt::format_date_section(serial, chosen, fdow, fwoy);
    return text;
  }
  Decimal magnitude = v.number;
  magnitude.negative = false;
  return fmt::format_number_section(magnitude, sign, chosen);
}

}  // namespace

Str format_value(const Variant& value, std::u16string_view format, int first_day_of_week, int first_week_of_year) {
  Value v = classify(value);
  if (format.empty()) return Str(v.kind == Value::Null ? std::u16string() : general_text(v, false));

  const std::u16string name = lower(format);
  for (const NamedFormat& nf : kNamed) {
    if (name != nf.name) continue;
    if (v.kind == Value::Null) return Str();
    if (!nf.expansion.empty()) return Str(format_sections(v, nf.expansion, first_day_of_week, first_week_of_year));
    if (v.kind == Value::Text) return Str(v.text);
    if (name == u"general number") return Str(general_text(v, true));
    if (name == u"general date") {
      if (!valid_date(v.serial)) raise(kErrOverflow);
      return Str(format_date(v.serial));
    }
    const bool on = !v.number.is_zero();
    if (name == u"yes/no") return Str(on ? u"Yes" : u"No");
    if (name == u"true/false") return Str(on ? u"True" : u"False");
    return Str(on ? u"On" : u"Off");
  }
  return Str(format_sections(v, format, first_day_of_week, first_week_of_year));
}

}  // namespace qz
