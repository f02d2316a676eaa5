// Shared helpers of the built-in function families: argument access with the language's
// defaults, and each family's part of the function table.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "com/convert.h"
#include "com/error.h"
#include "script/builtins/builtins.h"

namespace qz::builtins {

// Argument i as a plain value: by-reference cells followed, objects replaced by their default
// member's value. Missing arguments stay Variant::missing().
inline Variant arg(Args a, size_t i) {
  if (i >= a.size()) return Variant::missing();
  const Variant& v = a[i];
  if (v.is_object() || v.is_byref()) return value_of(v);
  return v;
}

inline bool given(Args a, size_t i) { return a.has(i); }

// An optional whole-number argument (Null raises 94 as the conversion does).
inline int32_t long_arg(Args a, size_t i, int32_t fallback) {
  return given(a, i) ? to_long(arg(a, i)) : fallback;
}

// The compare argument of StrComp and Filter: false for binary, true for text. Database
// compare (2) and locale ids compare as text; negative values are refused.
bool text_compare_arg(Args a, size_t i);
// The compare argument of InStr, InStrRev, Replace and Split: 0 or 1, anything else raises 5.
bool compare_mode_arg(Args a, size_t i);

// Raises 94 when any argument from `first` on is Null, before any of them is converted.
inline void refuse_null_args(Args a, size_t first) {
  for (size_t i = first; i < a.size(); ++i)
    if (a[i].is_null()) raise(94);
}

// Case-folded copy for text comparison; folding maps one unit to one unit, so positions hold.
std::u16string fold_text(std::u16string_view s);
// Position of needle in hay at or after `from` (npos when absent), folded under text compare.
size_t find_text(std::u16string_view hay, std::u16string_view needle, size_t from, bool text);

// Part of a string by code units or by bytes; asking for all of it gives the string itself,
// so an odd trailing byte survives.
Str unit_slice(const Str& s, size_t start, size_t count);
Str byte_slice(const Str& s, size_t start, size_t count);

// The text of argument i (CStr rules).
inline Str str_arg(Args a, size_t i) { return to_str(arg(a, i)); }

[[noreturn]] inline void invalid_argument() { raise(kErrIllegalCall); }

// Each family's table; builtins.cpp joins them.
std::span<const BuiltinFunction> string_functions();
std::span<const BuiltinFunction> substring_functions();
std::span<const BuiltinFunction> conversion_functions();
std::span<const BuiltinFunction> math_functions();
std::span<const BuiltinFunction> date_functions();
std::span<const BuiltinFunction> format_functions();
std::span<const BuiltinFunction> type_functions();
std::span<const BuiltinFunction> system_functions();
std::span<const BuiltinFunction> dialog_functions();
std::span<const BuiltinFunction> locale_functions();
// The constants, built once.
std::span<const BuiltinConstant> constants();

}  // namespace qz::builtins
