' Runaway recursion ends with "Out of stack space", not a crash.
Function Down(n) : Down = Down(n + 1) : End Function
On Error Resume Next
Down 0
WScript.Echo Err.Number, Err.Description ' expect: 28 Out of stack space
On Error GoTo 0
Sub Forever() : Forever : End Sub
Forever                                   ' expect error: 28
