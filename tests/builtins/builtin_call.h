// Calling built-in functions from tests and describing their results as "Subtype:text"
// ("Long:3", "String:abc", "Null", "Variant(a|b)", "error 5"), so tables stay readable.
#pragma once
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "com/variant.h"
#include "script/builtins/builtins.h"

namespace qz::test {

inline std::string subtype_name(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: return "Empty";
    case VT::Null: return "Null";
    case VT::Integer: return "Integer";
    case VT::Long: return "Long";
    case VT::LongLong: return "LongLong";
    case VT::Single: return "Single";
    case VT::Double: return "Double";
    case VT::Currency: return "Currency";
    case VT::Date: return "Date";
    case VT::String: return "String";
    case VT::Object: return "Object";
    case VT::Error: return "Error";
    case VT::Boolean: return "Boolean";
    case VT::Byte: return "Byte";
    case VT::Array: return v.as_array()->elem == VT::Byte ? "Byte()" : "Variant()";
    default: return "?";
  }
}

inline std::string describe(const Variant& raw) {
  const Variant& v = raw.deref();
  std::string name = subtype_name(v);
  switch (v.type()) {
    case VT::Empty: case VT::Null: return name;
    case VT::Object: return v.as_object() ? name : "Nothing";
    case VT::Array: {
      std::string out = name + "(";
      const ArrayRep& rep = *v.as_array();
      for (size_t i = 0; i < rep.items.size(); ++i) {
        if (i) out += "|";
        out += rep.items[i].is_null() ? "Null" : u16_to_utf8(to_u16(rep.items[i]));
      }
      return out + ")";
    }
    default: return name + ":" + u16_to_utf8(to_u16(v));
  }
}

inline Variant call_builtin(std::u16string_view name, std::vector<Variant> args, bool allow_ui = true) {
  const BuiltinFunction* f = find_builtin_function(name);
  if (!f) throw std::runtime_error("no built-in " + u16_to_utf8(name));
  BuiltinContext ctx;
  ctx.allow_ui = allow_ui;
  return f->fn(ctx, Args(args));
}

// The described result, or "error N" when the call raised.
inline std::string run(std::u16string_view name, std::vector<Variant> args) {
  try {
    return describe(call_builtin(name, std::move(args)));
  } catch (const ScriptError& e) {
    return "error " + std::to_string(e.number);
  }
}

struct Case {
  std::u16string_view fn;
  std::vector<Variant> args;
  std::string expected;
};

inline std::string case_name(const Case& c) {
  std::string s = u16_to_utf8(c.fn) + "(";
  for (size_t i = 0; i < c.args.size(); ++i) {
    if (i) s += ", ";
    s += describe(c.args[i]);
  }
  return s + ")";
}

// Runs a table; every failing row is reported with its call.
inline void check_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(run(c.fn, c.args), c.expected) << case_name(c);
}

inline Variant missing() { return Variant::missing(); }
inline Variant null() { return Variant::null(); }
inline Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }
inline Variant i32(int32_t v) { return Variant(v); }
inline Variant cur(double v) { return Variant::currency(static_cast<int64_t>(v * 10000)); }
inline Variant date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  return Variant::date(date_from_parts(y, m, d) + time_from_parts(hh, mm, ss));
}

}  // namespace qz::test
