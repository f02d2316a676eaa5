// Type ... End Type blocks become classes that describe their native layout (class_vars_all,
// class_vars_buf, Class_Vars_StrPtr), and typed Dim statements become plain Dim/ReDim lines
// with the objects created ("Dim p As TPoint" -> "Dim p" and "Set p = New TPoint").
// Intrinsic types (Boolean, Date, Object and the numeric, string and variant types) declare a
// plain variable.
#pragma once
#include <string>

namespace qz::tr {

void translate_types(std::u16string& text);

}  // namespace qz::tr
