Dim a(), i, j, n, t, seed, gap
n = 140000
ReDim a(n - 1)
seed = 12345
For i = 0 To n - 1
  seed = (seed * 1103 + 12345) Mod 65536
  a(i) = seed
Next
' Shell sort
gap = n \ 2
Do While gap > 0
  For i = gap To n - 1
    t = a(i)
    j = i
    Do While j >= gap
      If a(j - gap) <= t Then Exit Do
      a(j) = a(j - gap)
      j = j - gap
    Loop
    a(j) = t
  Next
  gap = gap \ 2
Loop
WScript.Echo a(0), a(n \ 2), a(n - 1)
