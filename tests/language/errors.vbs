' On Error scoping, the Err object and Err.Raise.
Sub Fails() : Err.Raise 1000, "MySource", "custom failure" : End Sub
Sub FailsMidway()
  WScript.Echo "before"
  x = 1 / 0
  WScript.Echo "not reached"
End Sub
Sub Guarded()
  On Error Resume Next
  x = 1 / 0
  WScript.Echo "guarded", Err.Number
End Sub
On Error Resume Next
Fails
WScript.Echo Err.Number, Err.Source, Err.Description ' expect: 1000 MySource custom failure
Err.Clear
WScript.Echo Err.Number, "[" & Err.Description & "]" ' expect: 0 []
FailsMidway                      ' expect: before
WScript.Echo Err.Number          ' expect: 11
Err.Clear
Err.Raise 13
WScript.Echo Err.Number, Err.Description, Err.Source ' expect: 13 Type mismatch VBScript runtime error
Err.Clear
Err.Raise vbObjectError + 1
WScript.Echo Err.Number = vbObjectError + 1, Err.Description ' expect: -1 Unknown runtime error
On Error GoTo 0
WScript.Echo Err.Number          ' expect: 0
Guarded                          ' expect: guarded 11
' The caller's Resume Next does not leak into callees: the callee stops at its error.
On Error Resume Next
Sub Stops()
  Err.Raise 6
  WScript.Echo "continued in callee"
End Sub
Stops
WScript.Echo "caller continues", Err.Number ' expect: caller continues 6
' Err.Number is the default member, and errors inside class code reach the caller.
Class Thrower : Public Sub Go() : Err.Raise 9 : End Sub : End Class
Dim t : Set t = New Thrower
Err.Clear
t.Go
WScript.Echo Err, Err.Description ' expect: 9 Subscript out of range
Err.Clear
Dim undefinedCall : undefinedCall = NoSuchFunction(1)
WScript.Echo Err.Number          ' expect: 13
Err.Clear
undefinedCall = NoSuchFunction()
WScript.Echo Err.Number, Err.Description ' expect: 13 Type mismatch
Err.Clear
Dim o : o.Foo = 1
WScript.Echo Err.Number          ' expect: 424
Err.Clear
Set o = Nothing : o.Foo = 1
WScript.Echo Err.Number          ' expect: 424
On Error GoTo 0
Err.Raise 5                      ' expect error: 5
WScript.Echo "unreachable"
