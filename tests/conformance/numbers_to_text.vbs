' Numbers turned into text through CStr, & and Echo.
Dim d, s, c
WScript.Echo 1 / 3                        ' expect: 0.333333333333333
WScript.Echo 2 / 3 & ""                   ' expect: 0.666666666666667
WScript.Echo CStr(1E+15), CStr(1E+16)     ' expect: 1E+15 1E+16
WScript.Echo CStr(123456789012345), 1234567890123456 ' expect: 123456789012345 1.23456789012346E+15
WScript.Echo 0.1 + 0.2, 0.1 + 0.2 = 0.3   ' expect: 0.3 0
WScript.Echo 1E-5, 0.0001, 1.5E-10        ' expect: 1E-05 0.0001 1.5E-10
WScript.Echo -0.5 & "|" & 100 / 4 & "|" & 7 / 2 ' expect: -0.5|25|3.5
WScript.Echo CSng(1) / CSng(3), CSng(0.1), CSng(16777217) ' expect: 0.3333333 0.1 1.677722E+07
WScript.Echo CDbl(CSng(0.1))              ' expect: 0.100000001490116
WScript.Echo CCur(1) / 3, CCur(2.5), CCur(1234567.891) ' expect: 0.333333333333333 2.5 1234567.891
WScript.Echo TypeName(CCur(1) / 3), TypeName(CCur(1) * 2), TypeName(CCur(1) + 1) ' expect: Double Currency Currency
WScript.Echo 2 ^ 10, TypeName(2 ^ 10), 2 ^ 0.5 ' expect: 1024 Double 1.4142135623731
WScript.Echo 10 ^ 20, 2 ^ -1              ' expect: 1E+20 0.5
WScript.Echo CStr(True), CStr(False) & "", True & 1 ' expect: True False True1
WScript.Echo 1 + True, TypeName(1 + True), True + True ' expect: 0 Integer -2
WScript.Echo CStr(#1/2/2003#), #3:04:05 PM#, #1/2/2003 13:00# ' expect: 1/2/2003 3:04:05 PM 1/2/2003 1:00:00 PM
WScript.Echo CDate(0), CDate(1.5), CDate(-1) ' expect: 12:00:00 AM 12/31/1899 12:00:00 PM 12/29/1899
WScript.Echo CDbl(#1/1/2000#), CLng(#1/1/2000 18:00#) ' expect: 36526 36527
WScript.Echo Int(-2.5), Fix(-2.5), Round(2.5), Round(3.5), Round(-2.5), Round(2.5678, 2) ' expect: -3 -2 2 4 -2 2.57
WScript.Echo CInt(2.5), CInt(3.5), CLng(-2.5), CByte(1.5)  ' expect: 2 4 -2 2
WScript.Echo Round(0.125, 2), Round(-0.375, 2), TypeName(Round(2.5)), TypeName(Round(CSng(2.5))) ' expect: 0.12 -0.38 Double Single
