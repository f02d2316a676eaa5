Option Explicit
' ReDim declares the array it sizes, at module level and in a procedure.
ReDim list(2)
list(2) = "two"
WScript.Echo UBound(list), list(2) ' expect: 2 two
Sub Local()
  ReDim inner(1, 1)
  inner(1, 1) = 11
  ReDim Preserve inner(1, 3)
  WScript.Echo UBound(inner, 2), inner(1, 1) ' expect: 3 11
End Sub
Local
' Other statements still need the declaration.
Erase notDeclared ' expect error: 500
