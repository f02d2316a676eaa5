' Stores into procedure locals and calls of script procedures by name, run often enough that
' whatever a name resolved to earlier is used again: the value rules and what a name finds
' must stay those of the first time.
Class Holder
  Public V
  Public Default Property Get Value : Value = "default " & V : End Property
End Class
Sub Bump(ByRef target, ByVal copy) : target = target + 1 : copy = copy + 1 : End Sub
Sub Overwrite(ByRef element, ByRef whole) : whole = 0 : End Sub

Function Stores()
  Dim n, s, i, h, a, b, fixed(1)
  ' A local passed ByRef is written through; the ByVal copy is not.
  n = 1 : s = 1
  For i = 1 To 3 : Bump n, s : Next
  Stores = n & " " & s
  ' A Let of an object stores its default value.
  Set h = New Holder : h.V = 7
  For i = 1 To 2 : s = h : Next
  Stores = Stores & "|" & s & " " & IsObject(s)
  ' An array value is copied, and a copy of a fixed array can be resized.
  a = Array(1, 2)
  For i = 1 To 2 : b = a : Next
  b(0) = 9
  Stores = Stores & "|" & a(0) & b(0)
  fixed(0) = "f"
  For i = 1 To 2 : b = fixed : Next
  ReDim Preserve b(3)
  Stores = Stores & "|" & b(0) & UBound(b)
  ' An array whose element is out by reference cannot be replaced.
  On Error Resume Next
  a = Array(1, 2)
  Overwrite a(0), a
  Stores = Stores & "|" & Err.Number & " " & a(1)
End Function
WScript.Echo Stores()   ' expect: 4 1|default 7 False|19|f3|10 2

Function Which() : Which = "procedure" : End Function
Dim Where : Where = "module"
Const Limit = "constant"
Function Shadowed()
  Dim i, seen
  For i = 1 To 3
    ' From the second round locals made by Execute hide the procedure, the module variable
    ' and the constant.
    If i = 2 Then Execute "Dim Which, Where, Limit : Which = ""local"" : Where = ""here"" : Limit = 0"
    seen = seen & Which & " " & Where & " " & Limit & " "
  Next
  Shadowed = Trim(seen)
End Function
WScript.Echo Shadowed()   ' expect: procedure module constant local here 0 local here 0

Dim counter, reads, seen
reads = "variable"
For counter = 1 To 3
  seen = seen & reads & " "
  ' A module variable that a procedure of the same name replaces is that procedure from then on.
  If counter = 2 Then ExecuteGlobal "Function reads() : reads = ""procedure"" : End Function"
Next
WScript.Echo Trim(seen)   ' expect: variable variable procedure

Function Version() : Version = 1 : End Function
Dim round, versions
For round = 1 To 3
  versions = versions & Version()
  ' A procedure defined again replaces the old one for every later call.
  If round = 1 Then ExecuteGlobal "Function Version() : Version = 2 : End Function"
Next
WScript.Echo versions   ' expect: 122

Function Depth(n)
  If n = 0 Then Depth = 0 Else Depth = 1 + Depth(n - 1)
End Function
WScript.Echo Depth(200)   ' expect: 200
Depth 1, 2   ' expect error: 450
