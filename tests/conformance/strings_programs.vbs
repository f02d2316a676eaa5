' String processing the way report and CSV programs do it.
Option Explicit
Dim line, fields, i, out
line = "alpha, beta,,gamma ,"
fields = Split(line, ",")
WScript.Echo UBound(fields), LBound(fields)          ' expect: 4 0
out = ""
For i = 0 To UBound(fields)
  out = out & "[" & Trim(fields(i)) & "]"
Next
WScript.Echo out                                      ' expect: [alpha][beta][][gamma][]
WScript.Echo Join(fields, "|")                        ' expect: alpha| beta||gamma |
' Split with a limit keeps the rest in the last piece; an empty string gives an empty array.
fields = Split("a b c d", " ", 2)
WScript.Echo UBound(fields), fields(1)                ' expect: 1 b c d
fields = Split("")
WScript.Echo UBound(fields)                           ' expect: -1
fields = Split("aXbxc", "x", -1, vbTextCompare)
WScript.Echo Join(fields, "-")                        ' expect: a-b-c
fields = Split("one  two")
WScript.Echo UBound(fields), "<" & fields(1) & ">"    ' expect: 2 <>
' Join of numbers converts each element.
WScript.Echo Join(Array(1, 2.5, True, "x"), ";")      ' expect: 1;2.5;True;x
' Counting words with InStr in a loop.
Dim s, p, n
s = "the cat and the hat and the bat"
n = 0 : p = InStr(s, "the")
Do While p > 0
  n = n + 1
  p = InStr(p + 1, s, "the")
Loop
WScript.Echo n                                        ' expect: 3
WScript.Echo InStrRev(s, "the"), InStrRev(s, "the", 20) ' expect: 25 13
WScript.Echo InStr(1, "ABCabc", "b", vbTextCompare), InStr("ABCabc", "b") ' expect: 2 5
WScript.Echo InStr("abc", ""), InStr(5, "abc", ""), InStr("", "a") ' expect: 1 0 0
WScript.Echo IsNull(InStr(Null, "a")), InStr(4, "abc", "")  ' expect: -1 4
' Replace with start and count: the result starts at start.
WScript.Echo Replace("aaaa", "a", "b", 2, 2)           ' expect: bba
WScript.Echo Replace("Hello World", "o", "0")          ' expect: Hell0 W0rld
WScript.Echo Replace("Hello World", "O", "0", 1, -1, vbTextCompare) ' expect: Hell0 W0rld
WScript.Echo "<" & Replace("abc", "", "x") & ">"       ' expect: <abc>
' Mid as reversing loop.
Dim r : r = ""
For i = Len("stressed") To 1 Step -1
  r = r & Mid("stressed", i, 1)
Next
WScript.Echo r, StrReverse("stressed")                 ' expect: desserts desserts
WScript.Echo "<" & Mid("abc", 5) & ">", Mid("abcdef", 2, 100), Mid("abcdef", 3) ' expect: <> bcdef cdef
WScript.Echo Left("abc", 10), Right("abc", 2), "<" & Left("abc", 0) & ">" ' expect: abc bc <>
' Padding columns for a text report.
Function PadLeft(v, w)
  PadLeft = Right(Space(w) & v, w)
End Function
Function PadRight(v, w)
  PadRight = Left(v & Space(w), w)
End Function
Dim names, prices
names = Array("Widget", "Gadget", "Thingamajig")
prices = Array(1234.5, 0.5, 1000000)
For i = 0 To 2
  WScript.Echo PadRight(names(i), 8) & "|" & PadLeft(FormatNumber(prices(i), 2), 14) & "|"
Next
' expect: Widget  |      1,234.50|
' expect: Gadget  |          0.50|
' expect: Thingama|  1,000,000.00|
WScript.Echo FormatNumber(-0.56, 1), FormatNumber(0.44, 0), FormatNumber(1234) ' expect: -0.6 0 1,234.00
WScript.Echo FormatNumber(0.25, 2, 0), FormatNumber(-1234.567, 1, , -1), FormatNumber(1234.567, 2, , , 0) ' expect: .25 (1,234.6) 1234.57
WScript.Echo FormatPercent(0.1234), FormatPercent(1, 0), FormatCurrency(-12.5) ' expect: 12.34% 100% ($12.50)
WScript.Echo String(3, "ab"), String(2, 65), Len(Space(4))  ' expect: aaa AA 4
' Building CSV with quoting.
Function CsvField(v)
  If InStr(v, ",") > 0 Or InStr(v, """") > 0 Then
    CsvField = """" & Replace(v, """", """""") & """"
  Else
    CsvField = v
  End If
End Function
WScript.Echo CsvField("plain") & "," & CsvField("a,b") & "," & CsvField("say ""hi""") ' expect: plain,"a,b","say ""hi"""
' Case and character functions.
WScript.Echo UCase("mixed Case 1"), LCase("MiXeD"), Asc("A"), Chr(97), AscW("é") ' expect: MIXED CASE 1 mixed 65 a 233
WScript.Echo LTrim("  x  ") & "|", "|" & RTrim("  x  "), Len(Trim(vbTab & " x ")) ' expect: x  | |  x 3
WScript.Echo StrComp("abc", "ABC"), StrComp("abc", "ABC", 1), StrComp("a", "b"), StrComp("b", "a", vbBinaryCompare) ' expect: 1 0 -1 1
WScript.Echo IsNull(StrComp(Null, "a")), StrComp("", ""), StrComp("a", "") ' expect: -1 0 1
WScript.Echo Filter(Array("apple", "Banana", "cherry"), "an")(0), UBound(Filter(Array("apple", "Banana", "cherry"), "a", False)) ' expect: Banana 0
WScript.Echo Join(Filter(Array("apple", "Banana", "cherry"), "A", True, vbTextCompare), ",") ' expect: apple,Banana
