// sys members for values and pointers: NewCollection, CFormat, IFX, ObjFromPtr, CStrPtr,
// CObjPtr, CVarPtr, CStrConv, CSendKeys, CompressZLib, DecompressZLib.
#include "com/collection.h"
#include "com/convert.h"
#include "com/error.h"
#include "runtime/helpers/format_value.h"
#include "runtime/helpers/pointer_helpers.h"
#include "runtime/helpers/str_conv.h"
#include "runtime/helpers/sys_members.h"
#include "runtime/helpers/value_helpers.h"
#include "runtime/helpers/zlib_arrays.h"
#include "runtime/script_file.h"
#include "script/script_control.h"

namespace qz {

namespace {

Variant evaluate_global(ScriptFile& s, std::u16string_view expression) {
  return s.engine().script_control().eval(expression);
}

Variant object_from_pointer(ScriptFile& s, const Variant& v) {
  switch (v.type()) {
    case VT::Long:
    case VT::LongLong: {
      Object* obj = object_at_address(to_longlong(v));
      return obj ? Variant(obj) : Variant::nothing();
    }
    case VT::String: {
      Variant r = evaluate_global(s, v.str_view());
      const Variant& val = r.deref();
      return val.is_object() ? val : Variant::nothing();
    }
    default:
      return Variant::nothing();
  }
}

}  // namespace

void define_sys_value_members(Members<ScriptFile>& m) {
  m.method(u"NewCollection", [](ScriptFile&, Args) { return Variant(new_collection()); });
  // The value reaches Format as text, which Format reads back as a number or date.
  m.method(u"CFormat", [](ScriptFile&, Args a) {
    return Variant(format_value(Variant(to_str(a[0])), to_u16(a[1]), 1, 1));
  });
  m.method(u"IFX", [](ScriptFile& s, Args a) {
    return inline_if(a[0], a[1], a[2], [&s](std::u16string_view text) { return evaluate_global(s, text); });
  });
  m.method(u"ObjFromPtr", [](ScriptFile& s, Args a) {
    try {
      return object_from_pointer(s, a[0]);
    } catch (...) {
      return Variant::nothing();
    }
  });
  m.method(u"CStrPtr", [](ScriptFile&, Args a) { return Variant(string_address(a[0])); });
  m.method(u"CObjPtr", [](ScriptFile&, Args a) {
    const Variant& v = a[0];
    if (!v.is_object()) raise(kErrTypeMismatch);
    return Variant(object_address(v.as_object()));
  });
  m.method(u"CVarPtr", [](ScriptFile&, Args a) {
    if (a.empty()) raise(kErrArgCount);
    return Variant(variant_address(a.ref(0)));
  });
  m.method(u"CStrConv", [](ScriptFile&, Args a) {
    int32_t lcid = a.has(2) ? to_long(a[2]) : -1;
    return Variant(str_conv(to_str(a[0]), to_integer(a[1]), lcid));
  });
  // No window system to send keys to yet: no keystrokes, as when sending fails.
  m.method(u"CSendKeys", [](ScriptFile&, Args) { return Variant(); });
  m.method(u"CompressZLib", [](ScriptFile&, Args a) {
    if (a.empty()) return Variant();
    Variant result;
    try {
      result = compress_byte_array(a[0]);
    } catch (...) {
      result = Variant::from_vector({});
    }
    a.ref(0) = result;
    return Variant();
  });
  m.method(u"DecompressZLib", [](ScriptFile&, Args a) {
    if (a.empty()) return Variant();
    Variant result;
    try {
      result = decompress_byte_array(a[0], a.has(1) ? to_longlong(a[1]) : 0);
    } catch (...) {
      result = Variant::from_vector({});
    }
    a.ref(0) = result;
    return Variant();
  });
}

}  // namespace qz
