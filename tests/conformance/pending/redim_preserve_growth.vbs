' Growing an array one element at a time with ReDim Preserve is the common way scripts
' collect results; it must not copy the whole array on every step (30000 steps take
' seconds when it does).
Dim a(), i, t
t = Timer
ReDim a(0)
For i = 1 To 30000
  ReDim Preserve a(i)
  a(i) = i
Next
WScript.Echo UBound(a), a(30000)     ' expect: 30000 30000
WScript.Echo CStr(Timer - t < 1)     ' expect: True
