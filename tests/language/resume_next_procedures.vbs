' On Error Resume Next inside procedures: where each kind of failing statement goes on, and
' that what a failed statement made for itself is let go before the next one runs.
Dim trace
Class Tracer
  Public Name
  Private Sub Class_Terminate()
    trace = trace & "~" & Name
  End Sub
End Class
Function Make(n)
  Set Make = New Tracer
  Make.Name = n
End Function
Function Fail(x)
  Fail = 1 / x
End Function
Function ForHeader()
  On Error Resume Next
  Dim i, n
  For i = 1 To "x"
    n = n + 1
  Next
  ForHeader = n & ":" & Err.Number
End Function
Function ForHeaderExit()
  On Error Resume Next
  Dim i, n
  For i = Null To 3
    n = n + 1
    Exit For
  Next
  ForHeaderExit = n & ":" & Err.Number
End Function
Function BottomTest()
  On Error Resume Next
  Dim n
  Do
    n = n + 1
  Loop While Fail(0) > 0
  BottomTest = n & ":" & Err.Number
End Function
Function TopTest()
  On Error Resume Next
  Dim n
  Do While Fail(0) > n
    n = n + 1
    If n > 2 Then Exit Do
  Loop
  TopTest = n & ":" & Err.Number
End Function
Function Arms(v)
  On Error Resume Next
  If v = 1 Then
    Arms = "one"
  ElseIf Fail(v - 2) Then
    Arms = "elseif:" & Err.Number
  Else
    Arms = "else"
  End If
  Arms = Arms & "|after"
End Function
Function Temps()
  On Error Resume Next
  trace = ""
  Dim x
  x = Make("a").Name & Fail(0) & Make("b").Name
  trace = trace & "|next"
  x = Fail(Make("c") Is Nothing)
  Temps = trace & "|" & Err.Number
End Function
Function CalleeFails()
  On Error Resume Next
  Dim n
  n = 1
  n = n + Fail(0)
  n = n + 10
  CalleeFails = n & ":" & Err.Number
End Function
Function StepFails()
  On Error Resume Next
  Dim i, n
  For i = 1 To 3
    n = n & i
    If i = 2 Then i = "z"
  Next
  StepFails = n & ":" & Err.Number
End Function
' A For header that fails runs the body once, then its Next raises; Exit For leaves quietly.
WScript.Echo ForHeader(), ForHeaderExit()   ' expect: 1:92 1:94
' A failing test at the bottom of a loop leaves it; at the top it enters the body.
WScript.Echo BottomTest(), TopTest()        ' expect: 1:11 3:11
WScript.Echo Arms(1), Arms(3), Arms(2)      ' expect: one|after elseif:0|after elseif:11|after
' The temporary object of a failed statement goes before the next statement runs.
WScript.Echo Temps()                        ' expect: ~a|next~c|11
' An error in a called procedure goes on after the caller's statement.
WScript.Echo CalleeFails()                  ' expect: 11:11
' A step that cannot add leaves the loop.
WScript.Echo StepFails()                    ' expect: 12:13
