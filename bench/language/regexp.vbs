' A global RegExp over a text: matches, submatches, Test and Replace.
Dim re, text, i, ms, m, count, total, parts()
ReDim parts(199)
For i = 0 To 199
  parts(i) = "user" & i & "@host" & (i Mod 7) & ".com and some words between, "
Next
text = Join(parts, "")
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
count = 0 : total = 0
For i = 1 To 1400
  Set ms = re.Execute(text)
  For Each m In ms
    count = count + 1
    total = total + Len(m.SubMatches(1))
  Next
  total = total + Len(re.Replace(text, "$2"))
Next
WScript.Echo count, total
