' Reset while a call holds a class field, a field array's element or a module array's element by
' reference: the call finishes on valid storage (checked under AddressSanitizer). Reset empties
' the field; the arrays stay until the call is over.
Dim inner : Set inner = CreateObject("MSScriptControl.ScriptControl")
Dim bump : bump = "Sub Bump(ByRef x)" & vbLf & _
  "  Dim w : Set w = WScript" & vbLf & _
  "  Outer.Reset" & vbLf & _
  "  x = x & String(64, ""z"")" & vbLf & _
  "  w.Echo ""bump"", Len(x)" & vbLf & _
  "End Sub" & vbLf
Sub Prepare
  inner.AddObject "Outer", inner
  inner.AddObject "WScript", WScript
End Sub
Prepare
inner.AddCode bump & "Class Holder : Public v : Sub Go() : Bump v : End Sub : End Class" & vbLf & _
  "Dim h : Set h = New Holder : h.v = ""abc"" : h.Go" ' expect: bump 64
Prepare
inner.AddCode bump & "Class Holder : Public arr(2) : Sub Go() : Bump arr(1) : End Sub : End Class" & vbLf & _
  "Dim h : Set h = New Holder : h.arr(1) = ""abc"" : h.Go" ' expect: bump 67
Prepare
inner.AddCode bump & "Dim m(3) : m(2) = ""abc"" : Bump m(2)" ' expect: bump 67
Prepare
inner.AddCode bump & "Dim d() : ReDim d(3) : d(2) = ""abc"" : Bump d(2)" ' expect: bump 67
WScript.Echo inner.Modules.Count, inner.Procedures.Count ' expect: 1 0
