' Comparison rules: numbers, strings, Empty, Null, literals against variables.
Dim s, n, e
s = "10" : n = 9
WScript.Echo 1 < 2, "a" < "b", "B" < "a", "abc" = "abc" ' expect: -1 -1 -1 -1
WScript.Echo s > n, n < s ' expect: -1 -1
WScript.Echo s = 10, 10 = s, s = "10" ' expect: -1 -1 -1
n = 10 : WScript.Echo s = n ' expect: 0
WScript.Echo e = 0, e = "", e = Empty, e < 1 ' expect: -1 -1 -1 -1
WScript.Echo IsNull(Null = Null), IsNull(1 <> Null) ' expect: -1 -1
WScript.Echo 1 = 1.0, CByte(3) = 3, True = -1, #1/1/2000# > #12/31/1999# ' expect: -1 -1 -1 -1
WScript.Echo 3 >= 3, 3 <= 2, 2 <> 3, "" < "a" ' expect: -1 0 -1 -1
Dim o1, o2 : Set o1 = New RegExp : Set o2 = o1
WScript.Echo o1 Is o2, o1 Is Nothing, Nothing Is Nothing ' expect: -1 0 -1
Dim z : z = 5 : WScript.Echo z = "5" ' expect: -1
