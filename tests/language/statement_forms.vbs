' Statement forms and assignment rules that scripts from the translator rely on.
Dim a, i, j, s, x
' One-line If with ':'-separated statements in both branches.
a = False
If a Then WScript.Echo "t1" : WScript.Echo "t2" Else WScript.Echo "e1" : WScript.Echo "e2"
' expect: e1
' expect: e2
' "Else If" on separate lines is a nested If inside Else.
x = 3
If x = 1 Then
  WScript.Echo "one"
Else If x = 2 Then
    WScript.Echo "two"
  Else If x = 3 Then WScript.Echo "three" Else WScript.Echo "many" ' expect: three
  End If
End If
' Exit For leaves only the innermost loop.
s = ""
For i = 1 To 3
  For j = 1 To 3
    If j > i Then Exit For
    s = s & i & j & " "
  Next
Next
WScript.Echo s ' expect: 11 21 22 31 32 33
' Negative step: the counter ends one step past the limit.
s = ""
For i = 10 To 1 Step -2 : s = s & i & " " : Next
WScript.Echo s & "| " & i ' expect: 10 8 6 4 2 | 0
' A Double step accumulates (0.1 ten times is just under 1 and still runs).
s = 0
For x = 0 To 1 Step 0.1 : s = s + 1 : Next
WScript.Echo s, x > 1, TypeName(x) ' expect: 11 -1 Double
' For Each over a Dictionary walks the keys it had when the loop started.
Dim d : Set d = CreateObject("Scripting.Dictionary")
d.Add "k1", 1 : d.Add "k2", 2 : d.Add "k3", 3
s = ""
For Each x In d
  s = s & x & " "
  If d.Exists("k2") Then d.Remove "k2"
Next
WScript.Echo s & d.Count ' expect: k1 k2 k3 2
' Let to a variable holding an object replaces the object: its default property is not used.
Class Cell
  Private v
  Public Default Property Get Value : Value = v : End Property
  Public Property Let Value(n) : v = n * 10 : End Property
End Class
Dim c : Set c = New Cell
c = 5
WScript.Echo TypeName(c), c ' expect: Integer 5
Sub SetInside(o) : o = 7 : End Sub
Set c = New Cell
SetInside c
WScript.Echo TypeName(c), c ' expect: Integer 7
Set c = New Cell
Class NoDefault : Public v : End Class
Dim nd : Set nd = New NoDefault
On Error Resume Next
nd = 1
WScript.Echo Err.Number, TypeName(nd) ' expect: 0 Integer
Err.Clear
' Set needs an object.
Set x = 5
WScript.Echo Err.Number ' expect: 424
Err.Clear
On Error GoTo 0
' Nothing: an object for IsObject and Is, not for TypeName's value.
Set x = Nothing
WScript.Echo IsObject(x), x Is Nothing, c Is Nothing, Nothing Is Nothing, TypeName(x) ' expect: -1 -1 0 -1 Nothing
Set x = c
WScript.Echo x Is c ' expect: -1
' String = is binary: case matters.
WScript.Echo "abc" = "ABC", "abc" = "abc", "a" < "B", StrComp("a", "B", 1) ' expect: 0 -1 0 -1
' Call with a parenthesised list.
Sub Pair(p, q) : WScript.Echo p & "+" & q : End Sub
Call Pair(1, 2) ' expect: 1+2
Pair 3, 4 ' expect: 3+4
' An undeclared local holding an array indexes like a declared one.
Function Second()
  arr = Array("x", "y")
  Second = arr(1)
End Function
WScript.Echo Second() ' expect: y
