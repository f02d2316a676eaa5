Function Fib(n)
  If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)
End Function
Sub Bump(ByRef x, ByVal y) : x = x + y : End Sub
Sub Main()
  Dim i, s, a(3)
  For i = 0 To 3 : a(i) = Fib(i + 3) : Bump s, a(i) : Next
  Do While s > 10 : s = s - 7 : If s = 12 Then Exit Do
  Loop
  s = "x" & s & Mid("abc", 2) & Len(s)
End Sub
