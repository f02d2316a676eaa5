' Text functions as a script sees them.
Dim parts, s
parts = Split("alpha,beta,,gamma", ",")
WScript.Echo UBound(parts), Join(parts, "|")
WScript.Echo InStr("Hello World", "o"), InStr(6, "Hello World", "o"), InStrRev("Hello World", "o")
WScript.Echo InStr(1, "Hello World", "WORLD", vbTextCompare), InStr("Hello World", "WORLD")
WScript.Echo Replace("a.b.c", ".", "::"), Replace("XaXa", "x", "-", 1, -1, vbTextCompare)
WScript.Echo Mid("abcdef", 2, 3) & Left("abc", 1) & Right("abc", 1)
WScript.Echo "[" & Trim("  pad  ") & "]", "[" & LTrim("  pad  ") & "]", "[" & RTrim("  pad  ") & "]"
WScript.Echo UCase("ёжик"), LCase("ПРИВЕТ"), StrReverse("stressed")
WScript.Echo StrComp("abc", "ABC"), StrComp("abc", "ABC", vbTextCompare), StrComp("a", "b")
WScript.Echo String(3, "*") & Space(2) & String(2, 65)
WScript.Echo Asc("A"), AscW(ChrW(8364)), Len(ChrW(8364) & "x")
s = ChrB(65) & ChrB(66) & ChrB(67)
WScript.Echo LenB(s), AscB(MidB(s, 3, 1)), InStrB(s, ChrB(67))
WScript.Echo Escape("a b&c=d/é"), Unescape("%u0416%41")
WScript.Echo Join(Filter(Array("apple", "banana", "cherry"), "an"), ",")
WScript.Echo IsNull(Left(Null, 2)), Len("") = 0
