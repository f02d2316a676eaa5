' Control flow statements.
Dim i, j, s
If 1 > 2 Then WScript.Echo "no" Else WScript.Echo "else branch" ' expect: else branch
If True Then WScript.Echo "a" : WScript.Echo "b" ' expect: a
' expect: b
If False Then WScript.Echo "x" : WScript.Echo "y"
If False Then
  WScript.Echo "no"
ElseIf 2 = 2 Then
  WScript.Echo "elseif" ' expect: elseif
Else
  WScript.Echo "no"
End If
If Null Then WScript.Echo "null is true" Else WScript.Echo "null is false" ' expect: null is false
s = ""
For i = 1 To 10 Step 3 : s = s & i & " " : Next
WScript.Echo s ' expect: 1 4 7 10
s = ""
For i = 5 To 1 Step -2 : s = s & i : Next
WScript.Echo s, i ' expect: 531 -1
s = ""
For i = 0.5 To 1.5 Step 0.5 : s = s & i & ";" : Next
WScript.Echo s ' expect: 0.5;1;1.5;
For i = 1 To 0 : WScript.Echo "never" : Next
For i = 1 To 10
  If i = 3 Then Exit For
Next
WScript.Echo i ' expect: 3
i = 0
Do
  i = i + 1
  If i >= 4 Then Exit Do
Loop
WScript.Echo i ' expect: 4
i = 0 : Do While i < 3 : i = i + 1 : Loop : WScript.Echo i ' expect: 3
i = 0 : Do Until i = 5 : i = i + 1 : Loop : WScript.Echo i ' expect: 5
i = 10 : Do : i = i + 1 : Loop While i < 5 : WScript.Echo i ' expect: 11
i = 10 : Do : i = i + 1 : Loop Until True : WScript.Echo i ' expect: 11
i = 0
While i < 7
  i = i + 2
Wend
WScript.Echo i ' expect: 8
For Each j In Array(1, "two", 3.5) : WScript.Echo j : Next ' expect: 1
' expect: two
' expect: 3.5
Select Case "b"
  Case "a", "b"
    WScript.Echo "a or b" ' expect: a or b
  Case "b"
    WScript.Echo "not reached"
End Select
Select Case 42
End Select
Select Case 7
  Case 1: WScript.Echo 1
  Case Else: WScript.Echo "other" ' expect: other
End Select
For i = 1 To 2
  For j = 1 To 3
    If j = 2 Then Exit For
    WScript.Echo i & "-" & j ' expect: 1-1
  Next                       ' expect: 2-1
Next
' Nested With and the object kept while the block runs.
Class Pt : Public X, Y, Inner : End Class
Dim p : Set p = New Pt : Set p.Inner = New Pt
With p
  .X = 1
  With .Inner
    .X = 2
    .Y = p.X + 10
  End With
  .Y = .Inner.Y + 1
End With
WScript.Echo p.X, p.Inner.X, p.Inner.Y, p.Y ' expect: 1 2 11 12
Stop
Randomize
Let i = 9 : WScript.Echo i ' expect: 9
