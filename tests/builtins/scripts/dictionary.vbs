' Scripting.Dictionary: order, default member, missing keys, errors and For Each.
Dim d, k, a
Set d = CreateObject("Scripting.Dictionary")
d.Add "b", 2
d.Add "a", 1
d(3) = "three"
d.Item("c") = "see"
WScript.Echo d.Count, Join(d.Keys, ","), Join(d.Items, ",")
WScript.Echo d.Exists(3), d.Exists("3"), d.Exists(3.0), d("a")
WScript.Echo IsEmpty(d("missing")), d.Count
d.Key("b") = "bee"
d.Remove "a"
For Each k In d
  WScript.Echo k & "=" & d(k)
Next
On Error Resume Next
d.Add "bee", 0
WScript.Echo Err.Number
Err.Clear
d.Remove "nope"
WScript.Echo Err.Number, Err.Description
Err.Clear
d.CompareMode = vbTextCompare
WScript.Echo Err.Number
On Error GoTo 0
d.RemoveAll
d.CompareMode = vbTextCompare
d.Add "Key", 1
WScript.Echo d.Exists("KEY"), TypeName(d), VarType(d.Keys)
