Dim i, total
total = 0
For i = 1 To 11000000
  If i Mod 3 = 0 Then
    total = total + i
  ElseIf i Mod 5 = 0 Then
    total = total - 1
  End If
Next
WScript.Echo total
