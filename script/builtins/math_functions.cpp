// Numeric functions: Abs, Sgn, Fix, Int, Round (banker's), the transcendental functions and
// the random generator's Rnd / Randomize.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "script/builtins/builtin_support.h"
#include "script/builtins/random.h"

namespace qz::builtins {
namespace {

Variant checked_double(double r) {
  if (!std::isfinite(r)) raise(kErrOverflow);
  return Variant(r);
}

// A one-argument Double function; Null gives Null.
template <double (*F)(double)>
Variant unary(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return checked_double(F(to_double(v)));
}

double log_checked(double x) {
  if (!(x > 0)) invalid_argument();
  return std::log(x);
}

double sqrt_checked(double x) {
  if (x < 0) invalid_argument();
  return std::sqrt(x);
}

double atan_(double x) { return std::atan(x); }
double cos_(double x) { return std::cos(x); }
double sin_(double x) { return std::sin(x); }
double tan_(double x) { return std::tan(x); }
double exp_(double x) { return std::exp(x); }

Variant Abs(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  switch (v.type()) {
    case VT::Null: return Variant::null();
    case VT::Empty: return Variant(int16_t{0});
    case VT::Boolean: return Variant(static_cast<int16_t>(v.as_bool() ? 1 : 0));
    case VT::Byte: return v;
    case VT::Integer:
      if (v.as_integer() == std::numeric_limits<int16_t>::min()) return Variant(int32_t{32768});
      return Variant(static_cast<int16_t>(std::abs(v.as_integer())));
    case VT::Long:
      if (v.as_long() == std::numeric_limits<int32_t>::min()) return Variant(2147483648.0);
      return Variant(static_cast<int32_t>(std::abs(v.as_long())));
    case VT::LongLong:
      if (v.as_longlong() == std::numeric_limits<int64_t>::min()) raise(kErrOverflow);
      return Variant(static_cast<int64_t>(std::llabs(v.as_longlong())));
    case VT::Single: return Variant(std::fabs(v.as_single()));
    case VT::Currency:
      if (v.as_currency() == std::numeric_limits<int64_t>::min()) raise(kErrOverflow);
      return Variant::currency(std::llabs(v.as_currency()));
    default: return Variant(std::fabs(to_double(v)));
  }
}

Variant Sgn(BuiltinContext&, Args a) {
  double d = to_double(arg(a, 0));
  return Variant(static_cast<int16_t>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

// Int rounds down, Fix toward zero; both keep the subtype of their argument.
template <bool Floor>
Variant whole_part(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  auto cut = [](double d) { return Floor ? std::floor(d) : std::trunc(d); };
  switch (v.type()) {
    case VT::Null: return Variant::null();
    case VT::Empty: return Variant(int16_t{0});
    case VT::Boolean: return Variant(static_cast<int16_t>(v.as_bool() ? -1 : 0));
    case VT::Integer: case VT::Long: case VT::LongLong: case VT::Byte: return v;
    case VT::Single: return Variant(static_cast<float>(cut(v.as_single())));
    case VT::Currency: {
      int64_t s = v.as_currency(), q = s / 10000, r = s % 10000;
      if (Floor && r < 0) --q;
      return Variant::currency(q * 10000);
    }
    case VT::Date: return Variant::date(cut(v.as_date()));
    default: return Variant(cut(to_double(v)));
  }
}

// Half to even at `digits` decimals: 2.5 -> 2, 3.5 -> 4, 2.675 (stored just below) -> 2.67.
double round_to_digits(double x, int digits) {
  if (!std::isfinite(x) || digits > 22) return x;
  double scale = std::pow(10.0, digits);
  double y = x * scale;
  if (!std::isfinite(y) || std::fabs(y) >= 4503599627370496.0) return x;  // already whole at this scale
  return round_half_even(y) / scale;
}

int64_t round_currency(int64_t scaled, int digits) {
  if (digits >= 4) return scaled;
  int64_t unit = 1;
  for (int i = digits; i < 4; ++i) unit *= 10;
  int64_t q = scaled / unit, r = scaled % unit;
  int64_t twice = 2 * (r < 0 ? -r : r);
  if (twice > unit || (twice == unit && q % 2 != 0)) q += scaled < 0 ? -1 : 1;
  return q * unit;
}

Variant Round(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  int32_t digits = long_arg(a, 1, 0);
  if (digits < 0) invalid_argument();
  switch (v.type()) {
    case VT::Null: return Variant::null();
    case VT::Empty: return Variant(int16_t{0});
    case VT::Boolean: case VT::Integer: case VT::Long: case VT::LongLong: case VT::Byte: return v;
    case VT::Single: return Variant(static_cast<float>(round_to_digits(v.as_single(), digits)));
    case VT::Currency: return Variant::currency(round_currency(v.as_currency(), digits));
    default: return Variant(round_to_digits(to_double(v), digits));
  }
}

Variant Rnd(BuiltinContext&, Args a) {
  if (!given(a, 0)) return Variant(script_random().next());
  return Variant(script_random().rnd(to_single(arg(a, 0))));
}

Variant Randomize(BuiltinContext&, Args a) {
  if (given(a, 0)) {
    script_random().randomize(to_double(arg(a, 0)));
  } else {
    script_random().randomize_from_clock();
  }
  return Variant();
}

constexpr BuiltinFunction kTable[] = {
    {u"Abs", 1, 1, Abs},
    {u"Atn", 1, 1, unary<atan_>},
    {u"Cos", 1, 1, unary<cos_>},
    {u"Exp", 1, 1, unary<exp_>},
    {u"Log", 1, 1, unary<log_checked>},
    {u"Sin", 1, 1, unary<sin_>},
    {u"Sqr", 1, 1, unary<sqrt_checked>},
    {u"Tan", 1, 1, unary<tan_>},
    {u"Sgn", 1, 1, Sgn},
    {u"Fix", 1, 1, whole_part<false>},
    {u"Int", 1, 1, whole_part<true>},
    {u"Round", 1, 2, Round},
    {u"Rnd", 0, 1, Rnd},
    {u"Randomize", 0, 1, Randomize, BuiltinUse::Statement},
};

}  // namespace

std::span<const BuiltinFunction> math_functions() { return kTable; }

}  // namespace qz::builtins
