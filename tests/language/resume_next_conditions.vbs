' A run-time error in a condition under On Error Resume Next: execution goes on with the next
' statement, which is the first one inside the construct.
Dim zero, trace, n
zero = 0
On Error Resume Next
If 1 / zero Then
  WScript.Echo "then", Err.Number ' expect: then 11
Else
  WScript.Echo "else"
End If
Err.Clear
If 1 / zero Then WScript.Echo "one-line then" Else WScript.Echo "one-line else" ' expect: one-line then
If False Then
  WScript.Echo "no"
ElseIf CLng("x") Then
  WScript.Echo "elseif body", Err.Number ' expect: elseif body 13
Else
  WScript.Echo "else"
End If
Err.Clear
' A failing Select Case selector runs no Case at all, not even Case Else.
Select Case 1 / zero
  Case 5
    WScript.Echo "first case"
  Case Else
    WScript.Echo "case else"
End Select
WScript.Echo "after select", Err.Number ' expect: after select 11
Err.Clear
Select Case 2
  Case 1, CLng("bad")
    WScript.Echo "failing case value", Err.Number ' expect: failing case value 13
  Case 2
    WScript.Echo "not reached"
End Select
Err.Clear
' A failing test at the top of a loop enters the body; at the bottom it leaves the loop.
n = 0
Do While 1 / zero
  n = n + 1
  If n = 2 Then Exit Do
Loop
WScript.Echo "do while ran", n ' expect: do while ran 2
Dim d : d = 0 : n = 0
While 3 / d > n
  n = n + 1
  d = 1
Wend
WScript.Echo "while ran", n ' expect: while ran 3
n = 0
Do
  n = n + 1
Loop Until 1 / zero
WScript.Echo "loop until ran", n ' expect: loop until ran 1
n = 0
Do
  n = n + 1
Loop While 1 / zero
WScript.Echo "loop while ran", n ' expect: loop while ran 1
' The same inside a procedure with its own On Error Resume Next.
Function Check(v)
  On Error Resume Next
  Check = "skipped"
  If 10 / v > 1 Then Check = "entered"
End Function
WScript.Echo Check(0), Check(100) ' expect: entered skipped
' Without Resume Next the error leaves with the position of the ElseIf line.
On Error GoTo 0
If False Then
ElseIf 1 / zero Then ' expect error: 11
End If
