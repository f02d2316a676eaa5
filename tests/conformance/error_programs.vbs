' Error handling across procedures, classes and Err.Raise.
Option Explicit
Const ERR_NOT_FOUND = 1001
Function Lookup(key)
  If key = "" Then Err.Raise vbObjectError + ERR_NOT_FOUND, "Lookup", "Key not found"
  Lookup = "value of " & key
End Function
Dim v
On Error Resume Next
v = Lookup("")
WScript.Echo Err.Number = vbObjectError + ERR_NOT_FOUND, Err.Number, Hex(Err.Number) ' expect: -1 -2147220503 800403E9
WScript.Echo Err.Source, "|" & Err.Description & "|", IsEmpty(v) ' expect: Lookup |Key not found| -1
Err.Clear
WScript.Echo Err.Number, "|" & Err.Source & "|" & Err.Description & "|" ' expect: 0 |||
' An error inside a procedure without a handler of its own abandons the whole call statement
' in the caller that has one: neither Inner's nor Outer's remaining statements run.
Dim trace
Sub Inner()
  trace = trace & "a"
  Dim x : x = 1 / 0
  trace = trace & "b"
End Sub
Sub Outer()
  trace = trace & "1"
  Inner
  trace = trace & "2"
End Sub
trace = ""
Outer
WScript.Echo trace, Err.Number, Err.Description ' expect: 1a 11 Division by zero
Err.Clear
' A handler inside the procedure keeps it running.
Function SafeDiv(a, b)
  On Error Resume Next
  SafeDiv = a / b
  If Err.Number <> 0 Then SafeDiv = Null
End Function
WScript.Echo IsNull(SafeDiv(1, 0)), SafeDiv(6, 3) ' expect: -1 2
' On Error GoTo 0 inside a procedure restores raising there only.
Function Strict()
  On Error GoTo 0
  Strict = CLng("x")
End Function
Err.Clear
v = Strict()
WScript.Echo Err.Number                       ' expect: 13
Err.Clear
' Err.Raise with only a number fills in the standard text; a custom number gets a default text.
Err.Raise 5
WScript.Echo Err.Number, Err.Description      ' expect: 5 Invalid procedure call or argument
Err.Clear
Err.Raise 9
WScript.Echo Err.Description                  ' expect: Subscript out of range
Err.Clear
Err.Raise 6
WScript.Echo Err.Description                  ' expect: Overflow
Err.Clear
Err.Raise 424
WScript.Echo Err.Description                  ' expect: Object required
Err.Clear
Err.Raise 1234, "MySource"
WScript.Echo Err.Number, Err.Source, "|" & Err.Description & "|" ' expect: 1234 MySource |Unknown runtime error|
Err.Clear
' Raising inside a class method.
Class Stack
  Private items_, n_
  Private Sub Class_Initialize() : ReDim items_(3) : n_ = 0 : End Sub
  Public Sub Push(v)
    If n_ > UBound(items_) Then Err.Raise vbObjectError + 2, "Stack.Push", "Stack full"
    items_(n_) = v : n_ = n_ + 1
  End Sub
  Public Function Pop()
    If n_ = 0 Then Err.Raise vbObjectError + 3, "Stack.Pop", "Stack empty"
    n_ = n_ - 1 : Pop = items_(n_)
  End Function
End Class
Dim st, i : Set st = New Stack
For i = 1 To 5
  st.Push i
  If Err.Number <> 0 Then WScript.Echo "push " & i & ": " & Err.Description : Err.Clear
Next
' expect: push 5: Stack full
WScript.Echo st.Pop(), st.Pop()               ' expect: 4 3
' Errors from built-ins inside methods carry the standard numbers.
v = st.Pop() + st.Pop()
v = st.Pop()
WScript.Echo Err.Number - vbObjectError, Err.Source ' expect: 3 Stack.Pop
Err.Clear
' The Err object keeps the last error until cleared, even across successful statements.
v = CInt("40000")
v = 1 + 1
WScript.Echo Err.Number, v                    ' expect: 6 2
Err.Clear
' A failing For Each target: the body runs once, as the statements after the header.
Dim cnt : cnt = 0
For Each v In 5
  cnt = cnt + 1
Next
WScript.Echo Err.Number, cnt                  ' expect: 451 1
Err.Clear
On Error GoTo 0
' An error that reaches the top ends the run with its number.
Err.Raise vbObjectError + 7, "Top", "fatal"
WScript.Echo "not reached"
' expect error: -2147221497
