// Arrays and subtypes: Array, IsArray, LBound, UBound, IsEmpty, IsNull, IsNumeric, IsObject,
// TypeName and VarType.
#include <string>
#include <vector>

#include "com/object.h"
#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

Variant Array(BuiltinContext&, Args a) {
  std::vector<Variant> items;
  items.reserve(a.size());
  for (size_t i = 0; i < a.size(); ++i) items.push_back(a[i]);
  return Variant::from_vector(std::move(items));
}

// The argument as stored (by-reference cells followed, objects left as they are).
const Variant& raw(Args a, size_t i) { return a[i]; }

Variant IsArray(BuiltinContext&, Args a) { return Variant(raw(a, 0).is_array()); }
Variant IsEmpty(BuiltinContext&, Args a) { return Variant(raw(a, 0).is_empty()); }
Variant IsNull(BuiltinContext&, Args a) { return Variant(raw(a, 0).is_null()); }
Variant IsObject(BuiltinContext&, Args a) { return Variant(raw(a, 0).is_object()); }

bool numeric(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: case VT::Integer: case VT::Long: case VT::LongLong: case VT::Single:
    case VT::Double: case VT::Currency: case VT::Boolean: case VT::Byte:
      return true;
    case VT::String: {
      double d;
      return parse_number(v.str_view(), d);
    }
    default:
      return false;
  }
}

Variant IsNumeric(BuiltinContext&, Args a) {
  const Variant& v = raw(a, 0);
  if (!v.is_object()) return Variant(numeric(v));
  if (!v.as_object()) return Variant(false);
  try {
    return Variant(numeric(value_of(v)));
  } catch (const ScriptError&) {
    return Variant(false);
  }
}

// LBound/UBound(array[, dimension]).
template <bool Upper>
Variant bound(BuiltinContext&, Args a) {
  const Variant& v = raw(a, 0);
  if (!v.is_array()) raise(kErrTypeMismatch);   // Null too
  const ArrayRep& rep = *v.as_array();
  int32_t dim = long_arg(a, 1, 1);
  if (dim < 1 || static_cast<size_t>(dim) > rep.dims.size()) raise(kErrSubscript);
  const ArrayDim& d = rep.dims[static_cast<size_t>(dim - 1)];
  return Variant(Upper ? d.lbound + d.count - 1 : d.lbound);
}

std::u16string type_name_of(const Variant& v) {
  switch (v.type()) {
    case VT::Empty: return u"Empty";
    case VT::Null: return u"Null";
    case VT::Integer: return u"Integer";
    case VT::Long: return u"Long";
    case VT::LongLong: return u"LongLong";
    case VT::Single: return u"Single";
    case VT::Double: return u"Double";
    case VT::Currency: return u"Currency";
    case VT::Date: return u"Date";
    case VT::String: return u"String";
    case VT::Object: return v.as_object() ? v.as_object()->type_name() : u"Nothing";
    case VT::Error: return u"Error";
    case VT::Boolean: return u"Boolean";
    case VT::Byte: return u"Byte";
    case VT::Array: return v.as_array()->elem == VT::Byte ? u"Byte()" : u"Variant()";
    default: return u"Unknown";
  }
}

Variant TypeName(BuiltinContext&, Args a) { return Variant(Str(type_name_of(raw(a, 0)))); }

int32_t var_type_of(const Variant& v) {
  if (v.is_array()) return static_cast<int32_t>(VT::Array) | static_cast<int32_t>(v.as_array()->elem);
  return static_cast<int32_t>(v.type());
}

// VarType of an object is the type of its default value when it has one it can give
// without arguments; otherwise vbObject.
Variant VarType(BuiltinContext&, Args a) {
  const Variant& v = raw(a, 0);
  if (v.is_object() && v.as_object()) {
    try {
      Variant d = value_of(v);
      if (!d.is_object()) return Variant(static_cast<int16_t>(var_type_of(d)));
    } catch (const ScriptError&) {
    }
    return Variant(static_cast<int16_t>(VT::Object));
  }
  return Variant(static_cast<int16_t>(var_type_of(v)));
}

constexpr BuiltinFunction kTable[] = {
    {u"Array", 0, -1, Array},        {u"IsArray", 1, 1, IsArray},
    {u"IsEmpty", 1, 1, IsEmpty},     {u"IsNull", 1, 1, IsNull},
    {u"IsObject", 1, 1, IsObject},   {u"IsNumeric", 1, 1, IsNumeric},
    {u"LBound", 1, 2, bound<false>}, {u"UBound", 1, 2, bound<true>},
    {u"TypeName", 1, 1, TypeName},   {u"VarType", 1, 1, VarType},
};

}  // namespace

std::span<const BuiltinFunction> type_functions() { return kTable; }

}  // namespace qz::builtins
