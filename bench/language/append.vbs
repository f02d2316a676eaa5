' Building a text and an array a piece at a time: s = s & ... and ReDim Preserve growth.
Dim s, i, a(), n
s = ""
ReDim a(0)
For i = 1 To 3500000
  s = s & i & ","
  If i Mod 3 = 0 Then
    n = UBound(a) + 1
    ReDim Preserve a(n)
    a(n) = i
  End If
Next
WScript.Echo Len(s), UBound(a), a(UBound(a))
