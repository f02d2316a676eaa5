' Built-in functions with arguments they refuse, and where arrays and replacements come from.
On Error Resume Next
Dim x, m(1, 1)
Sub Check(label)
  WScript.Echo label, Err.Number
  Err.Clear
End Sub
' Null where an array or a number to format is needed: 13.
x = LBound(Null) : Check "LBound" ' expect: LBound 13
x = UBound(Null) : Check "UBound" ' expect: UBound 13
x = Join(Array(1, Null)) : Check "Join" ' expect: Join 13
x = FormatCurrency(Null) : Check "FormatCurrency" ' expect: FormatCurrency 13
x = FormatPercent(Null) : Check "FormatPercent" ' expect: FormatPercent 13
x = FormatDateTime(Null) : Check "FormatDateTime" ' expect: FormatDateTime 13
x = FormatNumber(Null) : Check "FormatNumber" ' expect: FormatNumber 13
' A Null in a later argument is found before an earlier argument is converted: 94.
x = Mid("test", "a", Null) : Check "Mid" ' expect: Mid 94
x = MonthName("a", Null) : Check "MonthName" ' expect: MonthName 94
x = InStrRev(Null, "a") : Check "InStrRev text" ' expect: InStrRev text 94
x = InStrRev("abc", Null) : Check "InStrRev find" ' expect: InStrRev find 94
x = Replace(Null, "a", "b") : Check "Replace" ' expect: Replace 94
WScript.Echo IsNull(Mid(Null, 1)), IsNull(InStr(Null, "a")) ' expect: -1 -1
' Numeric and date conversions cannot be called as statements: 458.
Call CByte(1) : Check "Call CByte" ' expect: Call CByte 458
CInt 1 : Check "CInt" ' expect: CInt 458
CCur 1 : Check "CCur" ' expect: CCur 458
CDate 1 : Check "CDate" ' expect: CDate 458
CDbl 1 : Check "CDbl" ' expect: CDbl 458
CLng 1 : Check "CLng" ' expect: CLng 458
Call CSng(1) : Check "Call CSng" ' expect: Call CSng 458
CStr 1 : Check "CStr" ' expect: CStr 0
' Compare modes other than 0 and 1: 5.
x = InStr(1, "abc", "b", 10) : Check "InStr" ' expect: InStr 5
x = InStrRev("abc", "b", -1, 2) : Check "InStrRev" ' expect: InStrRev 5
x = Split("a,b", ",", -1, 3) : Check "Split" ' expect: Split 5
x = Replace("abc", "b", "x", 1, -1, -1) : Check "Replace mode" ' expect: Replace mode 5
WScript.Echo InStr(1, "aBc", "b", 1), InStrRev("aBc", "b", -1, vbTextCompare) ' expect: 2 2
' Join of a 2-D array, Randomize as a value, GetRef of no text: 13.
x = Join(m) : Check "Join 2-D" ' expect: Join 2-D 13
x = Randomize(0) : Check "Randomize value" ' expect: Randomize value 13
Randomize 0 : Check "Randomize statement" ' expect: Randomize statement 0
x = GetRef(123) : Check "GetRef number" ' expect: GetRef number 13
x = GetRef(Null) : Check "GetRef Null" ' expect: GetRef Null 13
x = GetRef(Empty) : Check "GetRef Empty" ' expect: GetRef Empty 13
x = GetRef("NoSuchProcedure") : Check "GetRef unknown" ' expect: GetRef unknown 5
' ReDim of a fixed-size array fails before its bounds are looked at: 10.
Dim fixed(2)
ReDim fixed("abc") : Check "ReDim fixed" ' expect: ReDim fixed 10
On Error GoTo 0
' A Dim'd array exists from its Dim statement on; Empty before it.
WScript.Echo TypeName(later), IsEmpty(later) ' expect: Empty -1
Dim later(3)
WScript.Echo TypeName(later), UBound(later) ' expect: Variant() 3
Sub LocalArray
  WScript.Echo TypeName(items) ' expect: Empty
  Dim items(1)
  items(1) = "set"
  WScript.Echo TypeName(items), items(1) ' expect: Variant() set
End Sub
LocalArray
If False Then
  Dim skipped(2)
End If
WScript.Echo TypeName(skipped) ' expect: Empty
' RegExp.Replace takes True as the number it is.
Dim re : Set re = New RegExp
re.Pattern = "b"
WScript.Echo re.Replace("abc", True), re.Replace("abc", False), re.Replace("abc", 7) ' expect: a-1c a0c a7c
