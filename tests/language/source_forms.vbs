' Source forms that compile: each row is written the way scripts in the wild write it.
Dim hi, o, x, y, a
' '&' directly before a name starting with h or o concatenates; with digits it is a number.
hi = "H" : o = "O"
WScript.Echo "x" &hi, "y" &o, &hA, &o17, "z" &hi& "!" ' expect: xH yO 10 15 zH!
' A continuation with no blank before the '_'.
x =_
5
WScript.Echo x ' expect: 5
WScript.Echo "a" &_
  "b" ' expect: ab
' End If / End Sub / End Function / End Property / End Class straight after a statement.
a = 0
If a Then x = 1 Else x = 2 End If
WScript.Echo x ' expect: 2
If a = 0 Then x = 3 End If
WScript.Echo x ' expect: 3
Sub SetX: x = 4 End Sub
Function Twice(n) : Twice = n * 2 End Function
Sub Say(t) : WScript.Echo t End Sub
Class Holder : Public v End Class
Class Cell
  Private mv
  Property Get V : V = mv End Property
  Property Let V(n) : mv = n End Property
End Class
SetX : WScript.Echo x, Twice(5) ' expect: 4 10
Say "said" ' expect: said
Dim hc : Set hc = New Holder : hc.v = 6 : WScript.Echo hc.v ' expect: 6
Dim ce : Set ce = New Cell : ce.V = 7 : WScript.Echo ce.V ' expect: 7
' "Then :" is a one-line If whose statement is empty; the next line is not part of it.
If True Then :
WScript.Echo "after empty then" ' expect: after empty then
If False Then : WScript.Echo "not shown"
WScript.Echo "after colon then" ' expect: after colon then
' A procedure written inside an If block is global whatever the condition.
If False Then
  Sub Hidden : WScript.Echo "hidden runs" : End Sub
  Function HiddenF() : HiddenF = "hidden value" : End Function
End If
Hidden ' expect: hidden runs
WScript.Echo HiddenF() ' expect: hidden value
' The same procedure defined twice: the last definition wins, for calls before it too.
WScript.Echo Which() ' expect: second
Function Which() : Which = "first" : End Function
Function Which() : Which = "second" : End Function
Sub Greet : WScript.Echo "hello 1" : End Sub
Sub Greet : WScript.Echo "hello 2" : End Sub
Greet ' expect: hello 2
' Property as a class, property, parameter, procedure and variable name.
Class Property
  Private mv
  Public Property Get Property : Property = mv : End Property
  Public Property Let Property(Property) : mv = Property * 10 : Exit Property : End Property
End Class
Class Box : Public Sub Property : WScript.Echo "box property" : End Sub : End Class
Sub LocalProperty(n) : Dim Property : Property = n + 1 : WScript.Echo Property : End Sub
Dim pr : Set pr = New Property : pr.Property = 3
WScript.Echo pr.Property, TypeName(pr) ' expect: 30 Property
Dim bx : Set bx = New Box : bx.Property ' expect: box property
LocalProperty 8 ' expect: 9
' A member reference outside any With compiles; running it raises 505.
Sub Unqualified : x = .Missing : End Sub
On Error Resume Next
Unqualified
WScript.Echo Err.Number ' expect: 505
Err.Clear
.Missing = 1
WScript.Echo Err.Number ' expect: 505
On Error GoTo 0
' Me at module level is the script's own object: its members are the global procedures.
WScript.Echo Me.Twice(21), Me Is Me ' expect: 42 -1
Me.Say "through Me" ' expect: through Me
Call Me.SetX
' A parenthesised procedure name still takes the arguments.
Call (((Say))) ("call with parens") ' expect: call with parens
y = (Twice)(8)
WScript.Echo y, ((Twice))(2) ' expect: 16 4
' A script class named RegExp does not replace the built-in one.
Class RegExp : Public Pattern : End Class
Dim re : Set re = New RegExp
re.Pattern = "b+"
WScript.Echo TypeName(re), re.Test("abbc") ' expect: IRegExp2 -1
