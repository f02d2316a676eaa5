Dim i, s, total, hits
total = 0 : hits = 0
For i = 1 To 1400000
  s = "item" & i & "-" & (i * 2)
  total = total + Len(s)
  If InStr(s, "99") > 0 Then hits = hits + 1
  s = UCase(Mid(s, 2, 3)) & Right(s, 2)
  If s = "TEM00" Then hits = hits + 1
Next
WScript.Echo total, hits
