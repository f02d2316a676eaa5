// A script control with a clsFuncCall object added as `api`, for tests that drive the native
// caller the way scripts do, and record classes shaped as the Type translator makes them.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/convert.h"
#include "runtime/native/func_call.h"
#include "script/script_control.h"

namespace qz::test {

// The test library built beside the tests.
inline std::u16string testlib() { return utf8_to_u16(QZ_TESTLIB_PATH); }

class NativeScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control = make_ref<ScriptControl>();
    api = make_ref<FuncCall>();
    control->add_object(u"api", Ref<Object>(api.get()));
    control->add_code(u"Dim lib : lib = \"" + testlib() + u"\"");
  }
  void code(std::u16string_view c) { control->add_code(c); }
  Variant eval(std::u16string_view e) { return control->eval(e); }
  int64_t num(std::u16string_view e) { return to_longlong(eval(e)); }
  std::u16string text(std::u16string_view e) { return to_u16(eval(e)); }
  // The script error number a statement raises (0 when none).
  int32_t error_of(std::u16string_view statement) {
    try {
      control->execute_statement(statement);
      return 0;
    } catch (const ScriptError& e) {
      return e.number;
    }
  }
  // The bytes at an address a script got.
  std::vector<uint8_t> bytes_at(std::u16string_view address_expr, size_t n) {
    auto* p = reinterpret_cast<const uint8_t*>(static_cast<intptr_t>(num(address_expr)));
    return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
  }

  Ref<ScriptControl> control;
  Ref<FuncCall> api;
};

struct FieldSpec {
  std::u16string type, name, bound, fixed;
};

// The class the Type translator makes for these fields (objects of other record types are
// created in Class_Initialize).
inline std::u16string record_class(std::u16string_view name, const std::vector<FieldSpec>& fields) {
  std::u16string c = u"Class " + std::u16string(name) + u"\r\n", layout, inits;
  for (const FieldSpec& f : fields) {
    c += u"  Dim " + f.name + (f.bound.empty() ? u"" : u"(" + f.bound + u")") + u"\r\n";
    if (!layout.empty()) layout += u"~";
    layout += f.type + u"*" + f.name + u"*" + f.bound + u"*" + f.fixed;
    std::u16string t = lower(f.type);
    bool plain = t == u"long" || t == u"string" || t == u"integer" || t == u"byte" || t == u"single" ||
                 t == u"double" || t == u"currency" || t == u"boolean" || t == u"date" || t == u"var";
    if (!plain) {
      if (f.bound.empty()) {
        inits += u"    Set " + f.name + u" = New " + f.type + u"\r\n";
      } else {
        inits += u"    For qz_t_vc = 0 To " + f.bound + u"\r\n       Set " + f.name + u"(qz_t_vc) = New " + f.type +
                 u"\r\n    Next\r\n";
      }
    }
  }
  c += u"\r\n  Dim class_vars_all\r\n  Dim class_vars_buf\r\n\r\n  Private Sub Class_Initialize\r\n";
  c += u"    class_vars_all = \"" + layout + u"\"\r\n" + inits + u"  End Sub\r\nEnd Class\r\n";
  return c;
}

}  // namespace qz::test
