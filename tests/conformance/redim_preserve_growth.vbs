' Growing an array one element at a time with ReDim Preserve is the common way scripts
' collect results; it must not copy the whole array on every step (100000 steps took
' most of a minute when it did). A copy held elsewhere keeps its own elements.
Dim a(), i, t
t = Timer
ReDim a(0)
For i = 1 To 100000
  ReDim Preserve a(i)
  a(i) = i
Next
WScript.Echo UBound(a), a(100000)     ' expect: 100000 100000
WScript.Echo CStr(Timer - t < 1)     ' expect: True
Dim kept : kept = a
ReDim Preserve a(2) : a(0) = "changed"
WScript.Echo UBound(kept), kept(2), UBound(a), a(0) ' expect: 100000 2 2 changed
