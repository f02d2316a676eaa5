' Dictionary insert, lookup and remove with string keys.
Dim d, i, n, hits
n = 650000
Set d = CreateObject("Scripting.Dictionary")
For i = 1 To n
  d.Add "k" & i, i
Next
hits = 0
For i = 1 To 2 * n
  If d.Exists("k" & i) Then hits = hits + d.Item("k" & i)
Next
For i = 1 To n Step 2
  d.Remove "k" & i
Next
WScript.Echo d.Count, hits
