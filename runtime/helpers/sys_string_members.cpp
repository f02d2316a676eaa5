// sys members for text and values, each typed as its name says: ChrS, ChrWS, MidS, LeftS,
// RightS, ASCL, TrimS, RTrimS, LTrimS (the language's own functions on text arguments, never
// Null), CVal, CCVar and Sort. Errors go to the script.
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/helpers/sys_members.h"
#include "runtime/helpers/value_helpers.h"
#include "runtime/script_file.h"
#include "script/builtins/builtins.h"

namespace qz {

namespace {

// Calls the language's built-in function `name` with these arguments.
Variant builtin(std::u16string_view name, std::vector<Variant> args) {
  const BuiltinFunction* f = find_builtin_function(name);
  if (!f) raise(kErrNoSuchMember);
  BuiltinContext ctx;
  return f->fn(ctx, Args(args));
}

}  // namespace

void define_sys_string_members(Members<ScriptFile>& m) {
  m.method(u"ChrS", [](ScriptFile&, Args a) { return Variant(to_str(builtin(u"Chr", {Variant(to_integer(a[0]))}))); });
  m.method(u"ChrWS", [](ScriptFile&, Args a) { return Variant(to_str(builtin(u"ChrW", {Variant(to_long(a[0]))}))); });
  m.method(u"MidS", [](ScriptFile&, Args a) {
    return Variant(to_str(builtin(u"Mid", {Variant(to_str(a[0])), Variant(to_long(a[1])), Variant(to_long(a[2]))})));
  });
  m.method(u"LeftS", [](ScriptFile&, Args a) {
    return Variant(to_str(builtin(u"Left", {Variant(to_str(a[0])), Variant(to_long(a[1]))})));
  });
  m.method(u"RightS", [](ScriptFile&, Args a) {
    return Variant(to_str(builtin(u"Right", {Variant(to_str(a[0])), Variant(to_long(a[1]))})));
  });
  m.method(u"ASCL", [](ScriptFile&, Args a) { return Variant(to_long(builtin(u"Asc", {Variant(to_str(a[0]))}))); });
  m.method(u"TrimS", [](ScriptFile&, Args a) { return Variant(to_str(builtin(u"Trim", {Variant(to_str(a[0]))}))); });
  m.method(u"RTrimS", [](ScriptFile&, Args a) { return Variant(to_str(builtin(u"RTrim", {Variant(to_str(a[0]))}))); });
  m.method(u"LTrimS", [](ScriptFile&, Args a) { return Variant(to_str(builtin(u"LTrim", {Variant(to_str(a[0]))}))); });
  m.method(u"CVal", [](ScriptFile&, Args a) { return Variant(leading_number(to_u16(a[0]))); });
  // A plain copy: by-reference cells are read through, objects stay the same object.
  m.method(u"CCVar", [](ScriptFile&, Args a) { return Variant(a[0]); });
  m.method(u"Sort", [](ScriptFile&, Args a) {
    if (a.empty()) raise(kErrArgCount);
    Variant& target = a.ref(0);
    sort_array_as_text(target);
    return Variant(target);
  });
}

}  // namespace qz
