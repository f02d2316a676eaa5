' Rnd and Randomize the way games and samplers use them.
Function Shuffled(seed)
  Dim a, i, j, t
  a = Array("a", "b", "c", "d", "e", "f", "g", "h")
  Rnd -1
  Randomize seed
  For i = UBound(a) To 1 Step -1
    j = Int((i + 1) * Rnd)
    t = a(i) : a(i) = a(j) : a(j) = t
  Next
  Shuffled = Join(a, "")
End Function
' The same seed after Rnd with a negative argument repeats the sequence.
Dim s1, s2, s3
s1 = Shuffled(7) : s2 = Shuffled(7) : s3 = Shuffled(8)
WScript.Echo CStr(s1 = s2), Len(s1)                    ' expect: True 8
' Every letter survives the shuffle.
Dim ch, ok : ok = True
For Each ch In Array("a", "b", "c", "d", "e", "f", "g", "h")
  If InStr(s1, ch) = 0 Or InStr(s3, ch) = 0 Then ok = False
Next
WScript.Echo CStr(ok)                                  ' expect: True
' Dice stay in range and every face shows up.
Dim counts(6), i, roll, bad : bad = 0
Randomize
For i = 1 To 6000
  roll = Int(6 * Rnd) + 1
  If roll < 1 Or roll > 6 Then bad = bad + 1 Else counts(roll) = counts(roll) + 1
Next
ok = True
For i = 1 To 6
  If counts(i) < 700 Or counts(i) > 1300 Then ok = False
Next
WScript.Echo bad, CStr(ok)                             ' expect: 0 True
' Rnd(0) repeats the last number; a negative argument always gives the same number.
Dim last : last = Rnd
WScript.Echo CStr(Rnd(0) = last), CStr(Rnd(-3) = Rnd(-3)), CStr(Rnd(-3) = Rnd(-4)) ' expect: True True False
WScript.Echo TypeName(Rnd), CStr(Rnd >= 0 And Rnd < 1)  ' expect: Single True
