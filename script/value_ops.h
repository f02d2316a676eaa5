// The operators' fast paths on values, shared by the tree's nodes and the procedure code
// loop: Integer/Long arithmetic and comparisons without a call, string concatenation and
// comparison, and the general operators for everything else.
#pragma once
#include <cmath>
#include <cstdint>

#include "com/convert.h"
#include "com/variant.h"
#include "script/ast.h"
#include "script/diagnostics.h"
#include "script/operators.h"

namespace qz::vbs {

inline bool small_int(VT t) { return t == VT::Integer || t == VT::Long; }
inline int64_t small_value(const Variant& v) { return v.as_small_int(); }
// Always inlined: in a file this large the compiler's size limits would otherwise make it a call
// in some builds and not in others.
[[gnu::always_inline]] inline Variant int_or_wider(int64_t r, bool both_integer) {
  if (both_integer && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
  if (r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int32_t>(r));
  return Variant(static_cast<double>(r));
}

// + - * Mod and \ of two whole numbers (Integer/Long values) into `r`, when the operation
// cannot fail; false for the other operators, a division by zero and the one \ that overflows
// (the general path raises those).
[[gnu::always_inline]] inline bool small_int_value(Op op, int64_t p, int64_t q, int64_t& r) {
  switch (op) {
    case Op::Add: r = p + q; return true;
    case Op::Sub: r = p - q; return true;
    case Op::Mul: r = p * q; return true;
    case Op::Mod:
      if (q == 0) return false;
      r = p % q;
      return true;
    case Op::IntDiv:
      if (q == 0 || p / q > INT32_MAX) return false;
      r = p / q;
      return true;
    default: return false;
  }
}

// The same for two Integer/Long Variants, as the Variant the operator gives.
[[gnu::always_inline]] inline bool small_int_result(Op op, const Variant& x, const Variant& y, Variant& r) {
  int64_t v;
  if (!small_int_value(op, small_value(x), small_value(y), v)) return false;
  r = int_or_wider(v, x.type() == VT::Integer && y.type() == VT::Integer);
  return true;
}

inline bool int_or_double(VT t) { return t == VT::Integer || t == VT::Long || t == VT::Double; }
inline double number_of(const Variant& v) {
  return v.type() == VT::Double ? v.as_double() : static_cast<double>(small_value(v));
}

[[gnu::always_inline]] inline Variant binary_values(Op op, const Variant& x, const Variant& y) {
  VT tx = x.type(), ty = y.type();
  if ((tx == VT::Double || ty == VT::Double) && int_or_double(tx) && int_or_double(ty)) {
    // Double arithmetic: a finite result is the answer; overflow and division by zero take the
    // general path, which raises their errors.
    double p = number_of(x), q = number_of(y), r;
    switch (op) {
      case Op::Add: r = p + q; break;
      case Op::Sub: r = p - q; break;
      case Op::Mul: r = p * q; break;
      case Op::Div: r = q != 0 ? p / q : HUGE_VAL; break;
      default: return binary_op(op, x, y);
    }
    if (std::isfinite(r)) return Variant(r);
    return binary_op(op, x, y);
  }
  if (small_int(tx) && small_int(ty)) {
    int64_t p = small_value(x), q = small_value(y);
    bool both = tx == VT::Integer && ty == VT::Integer;
    if (int64_t v; small_int_value(op, p, q, v)) return int_or_wider(v, both);
    switch (op) {
      case Op::Mod: case Op::IntDiv: runtime_error(q == 0 ? kErrDivByZero : kErrOverflow);   // only their errors are left
      case Op::And: return both ? Variant(static_cast<int16_t>(p & q)) : Variant(static_cast<int32_t>(p & q));
      case Op::Or: return both ? Variant(static_cast<int16_t>(p | q)) : Variant(static_cast<int32_t>(p | q));
      case Op::Xor: return both ? Variant(static_cast<int16_t>(p ^ q)) : Variant(static_cast<int32_t>(p ^ q));
      case Op::Div:
        if (q == 0) break;
        return Variant(static_cast<double>(p) / static_cast<double>(q));
      default: break;
    }
  } else if (op == Op::Concat && tx == VT::String && ty == VT::String) {
    if (x.str_view().size() + y.str_view().size() > (size_t{1} << 30)) runtime_error(kErrOutOfStringSpace);
    return Variant(Str::concat(x.as_str(), y.as_str()));
  } else if (tx == VT::Boolean && ty == VT::Boolean) {
    if (op == Op::And) return Variant(x.as_bool() && y.as_bool());
    if (op == Op::Or) return Variant(x.as_bool() || y.as_bool());
  } else if (op == Op::Is) {
    return Variant(same_object(x, y));
  }
  return binary_op(op, x, y);
}

// A For loop's whole-number counter takes its next value (Integer while it and the step are,
// else Long, else Double).
[[gnu::always_inline]] inline void step_counter(ForState& st, Variant& counter) {
  st.i = small_value(counter) + st.s;
  counter = int_or_wider(st.i, st.both && counter.is(VT::Integer));
}

// A Let that is a plain store: anything that needs a default value, a copy of a fixed array or
// the lock check takes the assignment's general path.
[[gnu::always_inline]] inline bool stores_plainly(const Variant& v, const Variant& dst) {
  return !v.is_byref() && !v.is_object() && !v.is_array() && !dst.is_array();
}

// A value & turns into text without running code or failing.
inline bool plain_text_operand(const Variant& v) {
  switch (v.type()) {
    case VT::Object: case VT::Array: case VT::ByRef: case VT::Error: return false;
    default: return true;
  }
}

// -1, 0 or 1; 2 when Null takes part. A literal operand (literal_side 1: x, 2: y) decides how a
// string on the other side compares.
[[gnu::always_inline]] inline int compare_order(const Variant& x, const Variant& y, int literal_side) {
  if (small_int(x.type()) && small_int(y.type())) {
    int64_t p = small_value(x), q = small_value(y);
    return (p > q) - (p < q);
  }
  if (x.is_string() && y.is_string() && !((x.as_str().byte_size() | y.as_str().byte_size()) & 1)) {
    int r = x.str_view().compare(y.str_view());
    return r < 0 ? -1 : r > 0 ? 1 : 0;
  }
  return compare_values(x, y, literal_side);
}

// Whether an order (see compare_order) satisfies a comparison operator; Null satisfies none.
inline bool order_passes(Op op, int c) {
  // Bit c + 1 of an operator's mask: whether less, equal or greater passes (bit 3, Null, never).
  static constexpr uint8_t kPasses[] = {0b010, 0b101, 0b001, 0b100, 0b011, 0b110};   // = <> < > <= >=
  static_assert(static_cast<int>(Op::Ge) - static_cast<int>(Op::Eq) == 5);
  unsigned k = static_cast<unsigned>(op) - static_cast<unsigned>(Op::Eq);
  if (k > 5) return false;
  return (kPasses[k] >> (c + 1)) & 1;
}

}  // namespace qz::vbs
