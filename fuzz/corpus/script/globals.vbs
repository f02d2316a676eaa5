Dim total, k, flags()
ReDim flags(20)
For k = 2 To 20 Step 3 : flags(k) = True : total = total + k Mod 4 : Next
Class C
  Private v
  Public Property Get P : P = v : End Property
  Public Property Let P(x) : v = x * 2 : End Property
  Function Twice(n) : Twice = n + n : End Function
End Class
Sub Main()
  Dim o : Set o = New C
  o.P = total : total = o.Twice(o.P) / 3
  Call Main2(total)
End Sub
Sub Main2(t) : t = t & "" : End Sub
