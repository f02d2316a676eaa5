#include "script/operators.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "com/convert.h"
#include "com/error.h"
#include "com/object.h"
#include "script/diagnostics.h"

namespace qz::vbs {
namespace {

// The operand's value: cells followed, objects replaced by their default member's value.
inline const Variant& plain(const Variant& v, Variant& tmp) {
  const Variant& d = v.deref();
  if (d.is_object()) {
    tmp = value_of(d);
    return tmp;
  }
  return d;
}

// Numeric ranks for the result subtype of + - *.
enum Rank : int { RByte = 1, RInteger = 2, RLong = 3, RLongLong = 4, RSingle = 5, RDouble = 6, RCurrency = 7, RDate = 8 };

int rank_of(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: case VT::Boolean: case VT::Integer: return RInteger;
    case VT::Byte: return RByte;
    case VT::Long: return RLong;
    case VT::LongLong: return RLongLong;
    case VT::Single: return RSingle;
    case VT::Double: case VT::String: return RDouble;
    case VT::Currency: return RCurrency;
    case VT::Date: return RDate;
    default: runtime_error(kErrTypeMismatch);
  }
}

bool int_like(VT t) { return t == VT::Integer || t == VT::Long || t == VT::Byte || t == VT::Boolean || t == VT::Empty; }

int64_t int_value(const Variant& v) {
  switch (v.type()) {
    case VT::Integer: return v.as_integer();
    case VT::Long: return v.as_long();
    case VT::Byte: return v.as_byte();
    case VT::Boolean: return v.as_bool() ? -1 : 0;
    case VT::LongLong: return v.as_longlong();
    default: return 0;
  }
}

double num_value(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: return 0;
    case VT::Integer: return v.as_integer();
    case VT::Long: return v.as_long();
    case VT::Byte: return v.as_byte();
    case VT::Boolean: return v.as_bool() ? -1 : 0;
    case VT::Single: return v.as_single();
    case VT::Double: case VT::Date: return v.as_double();
    default: return to_double(v);
  }
}

// An integer result in the narrowest of Byte/Integer/Long at or above `rank`, else Double.
Variant int_result(int64_t r, int rank) {
  if (rank == RByte && r >= 0 && r <= 255) return Variant(static_cast<uint8_t>(r));
  if (rank <= RInteger && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
  if (rank <= RLong && r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int32_t>(r));
  if (rank == RLongLong) return Variant(r);
  return Variant(static_cast<double>(r));
}

Variant double_result(double r, int rank) {
  if (std::isinf(r) || std::isnan(r)) runtime_error(kErrOverflow);
  if (rank == RSingle) {
    if (std::fabs(r) > std::numeric_limits<float>::max()) return Variant(r);
    return Variant(static_cast<float>(r));
  }
  if (rank == RDate) {
    if (r < -657434.0 || r >= 2958466.0) runtime_error(kErrOverflow);
    return Variant::date(r);
  }
  return Variant(r);
}

Variant arith(Op op, const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  if (op == Op::Add) {
    if (a.is_string() && b.is_string()) return Variant(Str::concat(a.as_str(), b.as_str()));
    if (a.is_string() && b.is_empty()) return a;
    if (b.is_string() && a.is_empty()) return b;
  }
  VT ta = a.type(), tb = b.type();
  if (int_like(ta) && int_like(tb)) {
    int64_t x = int_value(a), y = int_value(b);
    int64_t r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    int rank = (ta == VT::Byte && tb == VT::Byte) ? RByte : std::max(rank_of(a), rank_of(b));
    if (ta == VT::Byte && tb == VT::Byte) rank = RByte;
    return int_result(r, rank);
  }
  int ra = rank_of(a), rb = rank_of(b);
  int rank = std::max(ra, rb);
  // Single with Long gives Double.
  if (rank == RSingle && (ra == RLong || rb == RLong || ra == RLongLong || rb == RLongLong)) rank = RDouble;
  if (rank == RLongLong) {
    __int128 x = int_value(a), y = int_value(b);
    __int128 r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    if (r >= INT64_MIN && r <= INT64_MAX) return Variant(static_cast<int64_t>(r));
    return Variant(static_cast<double>(r));
  }
  if (rank == RCurrency) {
    bool other_float = (ra == RSingle || ra == RDouble || rb == RSingle || rb == RDouble) &&
                       !(ra == RDouble && a.is_string()) && !(rb == RDouble && b.is_string());
    if (!other_float && ra != RDate && rb != RDate) {
      __int128 x = a.is(VT::Currency) ? a.as_currency() : static_cast<__int128>(to_currency(a));
      __int128 y = b.is(VT::Currency) ? b.as_currency() : static_cast<__int128>(to_currency(b));
      __int128 r = op == Op::Add ? x + y : op == Op::Sub ? x - y : (x * y) / 10000;
      if (op == Op::Mul) {
        __int128 p = x * y, q = p / 10000, rem = p % 10000;
        // Round half to even like the platform's currency arithmetic.
        if (rem * 2 > 10000 || (rem * 2 == 10000 && (q & 1))) ++q;
        else if (rem * 2 < -10000 || (rem * 2 == -10000 && (q & 1))) --q;
        r = q;
      }
      if (r > INT64_MAX || r < INT64_MIN) runtime_error(kErrOverflow);
      return Variant::currency(static_cast<int64_t>(r));
    }
    rank = RDouble;
  }
  double x = num_value(a), y = num_value(b);
  double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
  if (rank == RDate) {
    if (op == Op::Mul) return double_result(r, RDouble);
    if (op == Op::Sub && ra == RDate && rb == RDate) return double_result(r, RDouble);
  }
  return double_result(r, rank);
}

// Operand of \ and Mod: rounded to a whole number (half to even).
int64_t whole(const Variant& v, int& rank) {
  switch (v.type()) {
    case VT::Byte: rank = std::max(rank, static_cast<int>(RByte)); return v.as_byte();
    case VT::Empty: case VT::Boolean: case VT::Integer: rank = std::max(rank, static_cast<int>(RInteger)); return int_value(v);
    case VT::Long: rank = std::max(rank, static_cast<int>(RLong)); return v.as_long();
    default: {
      rank = RLong;
      double d = v.is(VT::Currency) ? static_cast<double>(v.as_currency()) / 10000.0 : num_value(v);
      double r = std::nearbyint(d);
      if (!(r >= -2147483648.0 && r <= 2147483647.0)) runtime_error(kErrOverflow);
      return static_cast<int64_t>(r);
    }
  }
}

Variant int_div_mod(Op op, const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  int rank = 0;
  bool both_byte = a.is(VT::Byte) && b.is(VT::Byte);
  int64_t x = whole(a, rank), y = whole(b, rank);
  if (y == 0) runtime_error(kErrDivByZero);
  int64_t r = op == Op::IntDiv ? x / y : x % y;
  if (both_byte) rank = RByte;
  if (rank < RInteger && !both_byte) rank = RInteger;
  if (rank <= RInteger && (r < -32768 || r > 32767)) rank = RLong;
  if (r < INT32_MIN || r > INT32_MAX) runtime_error(kErrOverflow);
  return int_result(r, rank);
}

Variant divide(const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  double x = num_value(a), y = num_value(b);
  if (y == 0) runtime_error(x == 0 ? kErrOverflow : kErrDivByZero);
  double r = x / y;
  if (std::isinf(r)) runtime_error(kErrOverflow);
  if (a.is(VT::Single) && b.is(VT::Single)) return double_result(r, RSingle);
  return Variant(r);
}

Variant power(const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) return Variant::null();
  double x = num_value(a), y = num_value(b);
  if (x == 0 && y < 0) runtime_error(kErrIllegalCall);
  if (x < 0 && y != std::floor(y)) runtime_error(kErrIllegalCall);
  double r = std::pow(x, y);
  if (std::isinf(r) || std::isnan(r)) runtime_error(kErrOverflow);
  return Variant(r);
}

Variant concat(const Variant& a, const Variant& b) {
  if (a.is_null() && b.is_null()) return Variant::null();
  TextPiece x(a), y(b);
  if (x.byte_size() + y.byte_size() > (size_t{1} << 31)) runtime_error(kErrOutOfStringSpace);
  if (x.byte_size() == 0) return Variant(y.str());
  if (y.byte_size() == 0) return Variant(x.str());
  return Variant(Str::concat(x.bytes(), x.byte_size(), y.bytes(), y.byte_size()));
}

// Logical operators: Boolean with Boolean, else bitwise on Byte/Integer/Long.
enum class Logic { And, Or, Xor, Eqv };

int64_t logic_operand(const Variant& v, int& rank) {
  switch (v.type()) {
    case VT::Byte: rank = std::max(rank, static_cast<int>(RByte)); return v.as_byte();
    case VT::Empty: case VT::Integer: case VT::Boolean: rank = std::max(rank, static_cast<int>(RInteger)); return int_value(v);
    case VT::Long: rank = std::max(rank, static_cast<int>(RLong)); return v.as_long();
    case VT::String: {
      double d;
      if (!parse_number(v.str_view(), d)) { rank = std::max(rank, static_cast<int>(RInteger)); return to_bool(v) ? -1 : 0; }
      rank = RLong;
      return to_long(v);
    }
    default: rank = RLong; return to_long(v);
  }
}

Variant logic(Logic op, const Variant& a, const Variant& b) {
  if (a.is_null() || b.is_null()) {
    const Variant& other = a.is_null() ? b : a;
    if (other.is_null()) return Variant::null();
    int rank = 0;
    int64_t o = logic_operand(other, rank);
    if (op == Logic::And && o == 0) return other.is(VT::Boolean) ? Variant(false) : int_result(0, rank);
    if (op == Logic::Or && o == -1 && other.is(VT::Boolean)) return Variant(true);
    return Variant::null();
  }
  if (a.is(VT::Boolean) && b.is(VT::Boolean)) {
    bool x = a.as_bool(), y = b.as_bool();
    switch (op) {
      case Logic::And: return Variant(x && y);
      case Logic::Or: return Variant(x || y);
      case Logic::Xor: return Variant(x != y);
      case Logic::Eqv: return Variant(x == y);
    }
  }
  int rank = 0;
  bool both_byte = a.is(VT::Byte) && b.is(VT::Byte);
  int64_t x = logic_operand(a, rank), y = logic_operand(b, rank);
  int64_t r = 0;
  switch (op) {
    case Logic::And: r = x & y; break;
    case Logic::Or: r = x | y; break;
    case Logic::Xor: r = x ^ y; break;
    case Logic::Eqv: r = ~(x ^ y); break;
  }
  if (both_byte) return Variant(static_cast<uint8_t>(r));
  if (rank <= RInteger) return Variant(static_cast<int16_t>(r));
  return Variant(static_cast<int32_t>(r));
}

Variant logical_not(const Variant& a) {
  switch (a.type()) {
    case VT::Null: return Variant::null();
    case VT::Boolean: return Variant(!a.as_bool());
    case VT::Empty: return Variant(static_cast<int16_t>(-1));
    case VT::Byte: return Variant(static_cast<uint8_t>(~a.as_byte()));
    case VT::Integer: return Variant(static_cast<int16_t>(~a.as_integer()));
    case VT::Long: return Variant(static_cast<int32_t>(~a.as_long()));
    default: {
      int rank = 0;
      int64_t v = logic_operand(a, rank);
      if (rank <= RInteger) return Variant(static_cast<int16_t>(~v));
      return Variant(static_cast<int32_t>(~v));
    }
  }
}

Variant negate(const Variant& a) {
  switch (a.type()) {
    case VT::Null: return Variant::null();
    case VT::Empty: return Variant(static_cast<int16_t>(0));
    case VT::Boolean: return Variant(static_cast<int16_t>(a.as_bool() ? 1 : 0));
    case VT::Byte: return Variant(static_cast<int16_t>(-a.as_byte()));
    case VT::Integer: return int_result(-static_cast<int64_t>(a.as_integer()), RInteger);
    case VT::Long: return int_result(-static_cast<int64_t>(a.as_long()), RLong);
    case VT::LongLong:
      if (a.as_longlong() == INT64_MIN) return Variant(-static_cast<double>(a.as_longlong()));
      return Variant(-a.as_longlong());
    case VT::Single: return Variant(-a.as_single());
    case VT::Double: return Variant(-a.as_double());
    case VT::Date: return Variant::date(-a.as_double());
    case VT::Currency:
      if (a.as_currency() == INT64_MIN) runtime_error(kErrOverflow);
      return Variant::currency(-a.as_currency());
    case VT::String: return Variant(-to_double(a));
    default: runtime_error(kErrTypeMismatch);
  }
}

bool is_numeric_kind(VT t) {
  switch (t) {
    case VT::Integer: case VT::Long: case VT::Single: case VT::Double: case VT::Currency: case VT::Date:
    case VT::Boolean: case VT::Byte: case VT::LongLong:
      return true;
    default:
      return false;
  }
}

int cmp_num(const Variant& a, const Variant& b) {
  if (int_like(a.type()) && int_like(b.type())) {
    int64_t x = int_value(a), y = int_value(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (a.is(VT::Currency) && b.is(VT::Currency)) {
    int64_t x = a.as_currency(), y = b.as_currency();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  double x = a.is(VT::Currency) ? static_cast<double>(a.as_currency()) / 10000.0 : num_value(a);
  double y = b.is(VT::Currency) ? static_cast<double>(b.as_currency()) / 10000.0 : num_value(b);
  if ((a.is(VT::Single) && b.is(VT::Double)) || (a.is(VT::Double) && b.is(VT::Single))) {
    // Single against Double compares at Single precision: CSng(0.1) = 0.1.
    float p = static_cast<float>(x), q = static_cast<float>(y);
    return p < q ? -1 : p > q ? 1 : 0;
  }
  return x < y ? -1 : x > y ? 1 : 0;
}

int cmp_str(std::u16string_view x, std::u16string_view y) {
  int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int cmp_str_variants(const Variant& a, const Variant& b) {
  // Byte strings compare byte for byte.
  Str x = a.as_str(), y = b.as_str();
  if ((x.byte_size() | y.byte_size()) & 1) {
    size_t n = std::min(x.byte_size(), y.byte_size());
    int c = std::memcmp(x.bytes(), y.bytes(), n);
    if (c != 0) return c < 0 ? -1 : 1;
    return x.byte_size() < y.byte_size() ? -1 : x.byte_size() > y.byte_size() ? 1 : 0;
  }
  return cmp_str(a.str_view(), b.str_view());
}

}  // namespace

int compare_values(const Variant& a0, const Variant& b0, int literal_side) {
  Variant ta, tb;
  const Variant& a = plain(a0, ta);
  const Variant& b = plain(b0, tb);
  if (a.is_null() || b.is_null()) return 2;
  VT x = a.type(), y = b.type();
  if (x == VT::Empty && y == VT::Empty) return 0;
  if (x == VT::String && y == VT::String) return cmp_str_variants(a, b);
  if (x == VT::Empty && y == VT::String) return cmp_str(u"", b.str_view());
  if (y == VT::Empty && x == VT::String) return cmp_str(a.str_view(), u"");
  bool na = is_numeric_kind(x) || x == VT::Empty, nb = is_numeric_kind(y) || y == VT::Empty;
  if (na && nb) return cmp_num(a, b);
  if ((na && y == VT::String) || (nb && x == VT::String)) {
    bool a_is_str = x == VT::String;
    // A literal on one side converts the other side to the literal's kind.
    if (literal_side == 1 || literal_side == 2) {
      bool literal_is_str = (literal_side == 1) == a_is_str;
      if (literal_is_str) {
        Str s = to_str(a_is_str ? b : a);
        return a_is_str ? cmp_str(a.str_view(), s.view()) : cmp_str(s.view(), b.str_view());
      }
      double d = to_double(a_is_str ? a : b);
      Variant dv(d);
      return a_is_str ? cmp_num(dv, b) : cmp_num(a, dv);
    }
    // Otherwise a number is less than any string.
    return a_is_str ? 1 : -1;
  }
  runtime_error(kErrTypeMismatch);
}

Variant compare_op(Op op, const Variant& a, const Variant& b, int literal_side) {
  return compare_result(op, compare_values(a, b, literal_side));
}

Variant compare_result(Op op, int c) {
  if (c == 2) return Variant::null();
  switch (op) {
    case Op::Eq: return Variant(c == 0);
    case Op::Ne: return Variant(c != 0);
    case Op::Lt: return Variant(c < 0);
    case Op::Gt: return Variant(c > 0);
    case Op::Le: return Variant(c <= 0);
    case Op::Ge: return Variant(c >= 0);
    default: return Variant(false);
  }
}

Variant binary_op(Op op, const Variant& a0, const Variant& b0) {
  Variant ta, tb;
  const Variant& a = plain(a0, ta);
  const Variant& b = plain(b0, tb);
  switch (op) {
    case Op::Add: case Op::Sub: case Op::Mul: return arith(op, a, b);
    case Op::Div: return divide(a, b);
    case Op::IntDiv: case Op::Mod: return int_div_mod(op, a, b);
    case Op::Pow: return power(a, b);
    case Op::Concat: return concat(a, b);
    case Op::And: return logic(Logic::And, a, b);
    case Op::Or: return logic(Logic::Or, a, b);
    case Op::Xor: return logic(Logic::Xor, a, b);
    case Op::Eqv: return logic(Logic::Eqv, a, b);
    case Op::Imp: return logic(Logic::Or, logical_not(a), b);
    case Op::Eq: case Op::Ne: case Op::Lt: case Op::Gt: case Op::Le: case Op::Ge:
      return compare_op(op, a, b, 0);
    case Op::Is: return Variant(same_object(a0, b0));
    default: runtime_error(kErrTypeMismatch);
  }
}

Variant unary_op(Op op, const Variant& a0) {
  Variant t;
  const Variant& a = plain(a0, t);
  switch (op) {
    case Op::Neg: return negate(a);
    case Op::Not: return logical_not(a);
    case Op::Plus:
      if (a.is_array() || a.is(VT::Error)) runtime_error(kErrTypeMismatch);
      return a;
    default: runtime_error(kErrTypeMismatch);
  }
}

bool same_object(const Variant& a0, const Variant& b0) {
  const Variant& a = a0.deref();
  const Variant& b = b0.deref();
  if (!a.is_object() || !b.is_object()) runtime_error(kErrObjectRequired);
  return a.as_object() == b.as_object();
}

bool truth(const Variant& v0) {
  const Variant& v = v0.deref();
  switch (v.type()) {
    case VT::Boolean: return v.as_bool();
    case VT::Integer: return v.as_integer() != 0;
    case VT::Long: return v.as_long() != 0;
    case VT::Null: case VT::Empty: return false;
    default: {
      Variant t;
      const Variant& p = plain(v, t);
      if (p.is_null()) return false;
      return to_bool(p);
    }
  }
}

}  // namespace qz::vbs
