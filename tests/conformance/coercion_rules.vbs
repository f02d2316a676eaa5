' Implicit conversions in +, &, = and comparisons between strings, numbers and Empty/Null.
Dim s, n, e
s = "10" : n = 5
WScript.Echo s + n, TypeName(s + n), s & n, "3" + "4"  ' expect: 15 Double 105 34
WScript.Echo "3" * "4", TypeName("3" * "4"), "2" - 1, TypeName("2" - 1) ' expect: 12 Double 1 Double
WScript.Echo 1 + Empty, TypeName(Empty + Empty), "a" & Empty & "b", TypeName(Empty & Empty) ' expect: 1 Integer ab String
WScript.Echo "x" + Empty                               ' expect: x
' Two variables, one a string and one a number: the number is less than any string.
' Against a literal the variable is converted to the literal's type.
Dim s2 : s2 = "5"
WScript.Echo CStr(s > n), CStr(s2 > n), CStr(s2 = n), CStr(n < s2)  ' expect: True True False True
WScript.Echo CStr(s = 10), CStr(n = "5"), CStr(s2 = 5), CStr(s < 9)  ' expect: True True True False
WScript.Echo CStr(s < "9"), CStr(10 < 9), CStr(CInt(s) < 9)  ' expect: True False False
WScript.Echo CStr(Empty = 0), CStr(Empty = ""), CStr(e = 0), CStr(e = ""), CStr(IsEmpty(e)) ' expect: True True True True True
' Null propagates through arithmetic and comparisons, but & treats it as empty.
WScript.Echo IsNull(Null + 1), IsNull(Null & "a"), "a" & Null & "b", IsNull(Null = Null) ' expect: -1 0 ab -1
WScript.Echo IsNull(Null And False), CStr(Null And False), IsNull(Null Or True), CStr(Null Or True) ' expect: 0 False 0 True
WScript.Echo IsNull(Null And True), IsNull(Not Null), IsNull(Len(Null)), TypeName(Null) ' expect: -1 -1 -1 Null
' An If condition that is Null counts as False.
If Null Then WScript.Echo "yes" Else WScript.Echo "no"   ' expect: no
' Booleans in arithmetic and text.
WScript.Echo CStr(CBool("true")), CStr(CBool("False")), CStr(CBool(0.1)), CBool("1") ' expect: True False True -1
WScript.Echo CInt(True), CLng(False), -True, True * 2, True & ""   ' expect: -1 0 1 -2 True
' Numeric strings with spaces, currency signs, thousands separators and hex.
WScript.Echo CDbl(" 12.5 "), CLng("1,234"), CDbl("&H10"), CLng("&H10000"), CInt("&HFFFF") ' expect: 12.5 1234 16 65536 -1
WScript.Echo IsNumeric("1e3"), IsNumeric("$5"), IsNumeric(""), IsNumeric(" "), IsNumeric("12abc"), IsNumeric(Empty) ' expect: -1 -1 0 0 0 -1
WScript.Echo CDbl("1e3"), CCur("$1,234.50") ' expect: 1000 1234.5
' VarType of literals and the results of operators.
WScript.Echo VarType(1), VarType(32768), VarType(1.5), VarType("s"), VarType(True), VarType(Null), VarType(Empty) ' expect: 2 3 5 8 11 1 0
WScript.Echo TypeName(CByte(255) + CByte(1)), CByte(255) + CByte(1), TypeName(CByte(2) * CByte(3)) ' expect: Integer 256 Byte
WScript.Echo TypeName(&HFF), TypeName(&HFFFF), &HFFFF, &H8000, TypeName(&H10000) ' expect: Integer Integer -1 -32768 Long
