' A long chain of string constants folds once, in time and memory in proportion to its
' result: 100,000 terms (a 700 KB statement) compile well under a second.
Dim src, t, x
src = "x = ""ab""" & Replace(Space(100000), " ", " & ""ab""")
WScript.Echo Len(src)                              ' expect: 700008
t = Timer
ExecuteGlobal src
WScript.Echo Len(x), CStr(Timer - t < 1)           ' expect: 200002 True
' Folded chains keep what & gives: Null and Empty add nothing, numbers convert, byte strings stay byte-exact.
x = "a" & Null & "b" & Empty & 1 & "c" & 2.5
WScript.Echo x                                     ' expect: ab1c2.5
x = Null & Null
WScript.Echo CStr(IsNull(x))                       ' expect: True
x = ChrB(65) & "z"
WScript.Echo LenB("q" & ChrB(65) & ChrB(66) & "z") ' expect: 6
WScript.Echo LenB(x)                               ' expect: 3
' A folded constant is not shared with another: changing one leaves the other.
Dim y, z
y = "p" & "q"
z = y & "r" & "s"
WScript.Echo y, z                                  ' expect: pq pqrs
