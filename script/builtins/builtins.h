// The language's built-in functions and constants, found by name at compile time.
// Functions that need the interpreter itself (Eval, Execute, GetRef, the Err object) live in
// the interpreter; everything else is here, written against Variant and Args only.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "com/variant.h"

namespace qz {

// What a built-in may ask of the running script (AllowUI for MsgBox/InputBox, CreateObject).
struct BuiltinContext {
  bool allow_ui = true;
};

using BuiltinFn = Variant (*)(BuiltinContext& ctx, Args args);

// How a built-in may be called: Value ones raise 458 as a statement (CInt 1, Call CDbl(x));
// Statement ones raise 13 where a value is wanted (x = Randomize(0)).
enum class BuiltinUse : uint8_t { Any, Value, Statement };

struct BuiltinFunction {
  std::u16string_view name;
  int8_t min_args;
  int8_t max_args;       // -1: any number (Array)
  BuiltinFn fn;
  BuiltinUse use = BuiltinUse::Any;
};

struct BuiltinConstant {
  std::u16string_view name;
  Variant value;
};

// The tables, looked up without regard to case. Null when there is no such name.
const BuiltinFunction* find_builtin_function(std::u16string_view name);
const BuiltinConstant* find_builtin_constant(std::u16string_view name);

}  // namespace qz
