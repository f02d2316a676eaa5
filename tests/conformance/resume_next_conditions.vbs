' Under On Error Resume Next, an error while evaluating a block If's condition resumes at the
' next statement, which is the first statement of the Then part.
On Error Resume Next
If 1 / 0 = 5 Then
  WScript.Echo "then branch"   ' expect: then branch
Else
  WScript.Echo "else branch"
End If
WScript.Echo Err.Number        ' expect: 11
Err.Clear
' The one-line form and loop conditions behave the same way.
If 1 / 0 = 5 Then WScript.Echo "then1" Else WScript.Echo "else1"
' expect: then1
Err.Clear
Do While CLng("x") > 0
  WScript.Echo "in loop"       ' expect: in loop
  Exit Do
Loop
WScript.Echo Err.Number        ' expect: 13
