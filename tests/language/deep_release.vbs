' Long chains held through dictionaries release without one native call level per link:
' dictionaries nested in dictionaries, instances and dictionaries alternating, and a chain
' still held by a variable when the script ends.
Class Node
  Public Inner
  Private Sub Class_Terminate : terminated = terminated + 1 : End Sub
End Class
Dim head, d, i, n, terminated
Set head = CreateObject("Scripting.Dictionary")
Set d = head
For i = 1 To 1000000
  Set n = CreateObject("Scripting.Dictionary")
  d.Add "next", n
  Set d = n
Next
Set d = Nothing : Set n = Nothing
Set head = Nothing
WScript.Echo "nested dictionaries released"          ' expect: nested dictionaries released
terminated = 0
Set head = CreateObject("Scripting.Dictionary")
Set d = head
For i = 1 To 300000
  Set n = New Node
  Set n.Inner = CreateObject("Scripting.Dictionary")
  d.Add i, n
  Set d = n.Inner
Next
Set d = Nothing : Set n = Nothing
Set head = Nothing
WScript.Echo terminated                               ' expect: 300000
Dim kept : Set kept = CreateObject("Scripting.Dictionary")
Set d = kept
For i = 1 To 300000
  Set n = CreateObject("Scripting.Dictionary")
  Set d("next") = n
  Set d = n
Next
Set d = Nothing : Set n = Nothing
WScript.Echo "left for the end"                      ' expect: left for the end
