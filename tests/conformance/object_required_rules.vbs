' Nothing and non-objects where an object is needed, and errors in For, For Each, With and
' Select Case headers under On Error Resume Next.
Dim o, v, n, s, zero
zero = 0
On Error Resume Next
' Members of Nothing: 424.
Set o = Nothing
v = o.Anything
WScript.Echo Err.Number ' expect: 424
Err.Clear
o.Anything = 1
WScript.Echo Err.Number ' expect: 424
Err.Clear
o.Anything
WScript.Echo Err.Number ' expect: 424
Err.Clear
' With on a value that is no object fails when it starts; the body still runs after it.
Sub WithOn(value)
  On Error Resume Next
  n = 0
  With value
    n = n + 1
    .Member = 1
  End With
  WScript.Echo n, Err.Number
End Sub
WithOn 42 ' expect: 1 424
WithOn "text" ' expect: 1 424
WithOn Empty ' expect: 1 424
WithOn Null ' expect: 1 424
WithOn True ' expect: 1 424
' A failing For header: the body runs once, then Next finds the loop never started (92).
n = 0
For v = 1 To "many"
  n = n + 1
Next
WScript.Echo n, Err.Number ' expect: 1 92
Err.Clear
n = 0
For v = 1 / zero To 3
  n = n + 1
  s = Err.Number
Next
WScript.Echo n, s, Err.Number ' expect: 1 11 92
Err.Clear
' A failing For Each header: the body runs once; afterwards Err.Number is 451.
n = 0
For Each v In 42
  n = n + 1
Next
WScript.Echo n, Err.Number ' expect: 1 451
Err.Clear
n = 0
For Each v In Array(1, 2, 3)(1 / zero)
  n = n + 1
  s = Err.Number
Next
WScript.Echo n, s, Err.Number ' expect: 1 11 451
Err.Clear
' Exit For inside such a body leaves without the Next error.
For Each v In Nothing
  Exit For
Next
WScript.Echo Err.Number ' expect: 91
Err.Clear
' A failing Select Case selector runs no Case body, not even Case Else.
Select Case 1 / zero
  Case 1 : WScript.Echo "case one"
  Case Else : WScript.Echo "case else"
End Select
WScript.Echo "after select", Err.Number ' expect: after select 11
Err.Clear
On Error GoTo 0
With 42 ' expect error: 424
End With
