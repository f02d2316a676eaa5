// VBScript's operators with the language's type rules: result subtypes (Integer overflowing
// to Long then Double, Byte, Boolean, Currency, Date), Null and Empty propagation, string and
// number comparison. Operands may be by-reference cells or objects (default member taken).
#pragma once
#include "com/variant.h"
#include "script/ast.h"

namespace qz::vbs {

// +, -, *, /, \, Mod, ^, &, And, Or, Xor, Eqv, Imp.
Variant binary_op(Op op, const Variant& a, const Variant& b);
// Unary -, + and Not.
Variant unary_op(Op op, const Variant& a);
// =, <>, <, >, <=, >=: Boolean, or Null when either side is Null. literal_side (1: a, 2: b)
// names an operand written as a literal: a string on the other side then converts to its type.
Variant compare_op(Op op, const Variant& a, const Variant& b, int literal_side);
// Three-way compare for Select Case and sorting helpers: -1, 0, 1; 2 when either is Null.
int compare_values(const Variant& a, const Variant& b, int literal_side);
// The Boolean of a comparison operator from a three-way result (2: Null).
Variant compare_result(Op op, int c);
// Is: both must be objects (or Nothing).
bool same_object(const Variant& a, const Variant& b);
// A condition's truth: Null and Empty are false; text "True"/"False" and numbers convert.
bool truth(const Variant& v);

}  // namespace qz::vbs
