' Member calls whose site sees different objects from one call to the next: each call must
' reach the member of the object it has now, with the same rules as a first call.
Class Cat
  Public Legs
  Private Sub Class_Initialize : Legs = 4 : End Sub
  Public Function Speak(times) : Speak = String(times, "m") : End Function
  Public Property Get Name : Name = "cat" : End Property
  Public Property Let Name(v) : WScript.Echo "cat named", v : End Property
  Public Sub Rename(v) : WScript.Echo "cat renamed", v : End Sub
End Class
Class Bird
  Public Name
  Public Property Get Legs : Legs = 2 : End Property
  Public Function Speak(times, loud) : Speak = String(times, "t") & loud : End Function
  Public Sub Rename(v, w) : WScript.Echo "bird renamed", v, w : End Sub
End Class

' One site, two classes alternately: a field at one, a Property Get at the other; a method of
' one parameter at one, of two at the other (the second raises 450).
Dim animals, a, i, out
animals = Array(New Cat, New Bird, New Cat, New Bird)
out = ""
For Each a In animals
  out = out & a.Legs & a.Name & " "
Next
WScript.Echo out ' expect: 4cat 2 4cat 2
On Error Resume Next
For i = 0 To 3
  Err.Clear
  out = animals(i).Speak(2)
  WScript.Echo i, out, Err.Number
Next
' expect: 0 mm 0
' expect: 1 mm 450
' expect: 2 mm 0
' expect: 3 mm 450
For i = 0 To 3
  Err.Clear
  animals(i).Name = "n" & i
  animals(i).Rename "r" & i
  WScript.Echo i, Err.Number
Next
' expect: cat named n0
' expect: cat renamed r0
' expect: 0 0
' expect: 1 450
' expect: cat named n2
' expect: cat renamed r2
' expect: 2 0
' expect: 3 450
On Error GoTo 0
WScript.Echo animals(1).Name ' expect: n1

' A site that called a class member, then meets a dictionary and a RegExp under the same names.
Class Bag
  Public Count
  Public Property Get Item(k) : Item = "bag:" & k : End Property
  Public Property Let Item(k, v) : WScript.Echo "bag let", k, v : End Property
End Class
Dim d, things, t
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", "dict:k"
things = Array(New Bag, d, New Bag, d)
things(0).Count = 7 : things(2).Count = 9
For Each t In things
  WScript.Echo TypeName(t), t.Count, t.Item("k")
  t.Item("k") = t.Count
Next
' expect: Bag 7 bag:k
' expect: bag let k 7
' expect: Dictionary 1 dict:k
' expect: Bag 9 bag:k
' expect: bag let k 9
' expect: Dictionary 1 1
WScript.Echo d("k") ' expect: 1
Class Matcher
  Public Pattern
  Public Function Test(s) : Test = "class test " & s : End Function
End Class
Dim re, ms, m
Set re = New RegExp
ms = Array(New Matcher, re, New Matcher)
For Each m In ms
  m.Pattern = "^a"
  WScript.Echo m.Test("abc")
Next
' expect: class test abc
' expect: -1
' expect: class test abc

' A class made again by ExecuteGlobal: objects made before keep the old class's members, new
' ones get the new class's, at the same site.
Class Version
  Public Function Which() : Which = "first" : End Function
End Class
Function Ask(o) : Ask = o.Which() : End Function
Dim v1, v2
Set v1 = New Version
WScript.Echo Ask(v1), Ask(v1) ' expect: first first
ExecuteGlobal "Class Version : Public Function Which() : Which = ""second"" : End Function : Public X : End Class"
Set v2 = New Version
WScript.Echo Ask(v1), Ask(v2), Ask(v1), Ask(v2) ' expect: first second first second
ExecuteGlobal "Class Version : Public Which : End Class"
Dim v3 : Set v3 = New Version : v3.Which = "a field now"
WScript.Echo Ask(v2), Ask(v3), Ask(v1) ' expect: second a field now first

' Private members answer only the instance itself, also at a site that reached them before.
Class Safe
  Private secret
  Public Sub Init(s) : secret = s : End Sub
  Private Function Code() : Code = "code " & secret : End Function
  Public Function Peek(o) : Peek = o.Code() : End Function
End Class
Dim s1, s2
Set s1 = New Safe : s1.Init "one"
Set s2 = New Safe : s2.Init "two"
On Error Resume Next
For Each a In Array(s1, s2, s1)
  Err.Clear
  out = "-"
  out = s1.Peek(a)
  WScript.Echo out, Err.Number
Next
' expect: code one 0
' expect: - 438
' expect: code one 0
Err.Clear
out = s1.Code()
WScript.Echo Err.Number, Err.Description ' expect: 438 Object doesn't support this property or method
Err.Clear
s1.secret = "x"
WScript.Echo Err.Number ' expect: 438
On Error GoTo 0

' ByRef arguments to methods reach the caller's variable and array element; ByVal ones do not;
' an array with an element passed by reference cannot be resized during the call.
Class Counter
  Public Sub Bump(ByRef n) : n = n + 1 : End Sub
  Public Sub Keep(ByVal n) : n = n + 100 : End Sub
  Public Function BumpTwice(n) : Bump n : Me.Bump n : BumpTwice = n : End Function
  Public Sub Resize(ByRef el)
    On Error Resume Next
    ReDim arr(9)
    WScript.Echo "resize", Err.Number
    el = "set"
  End Sub
End Class
Dim c, x, arr(2)
Set c = New Counter
x = 1 : arr(1) = 10
For i = 1 To 3
  c.Bump x
  c.Bump arr(1)
  c.Keep x
  c.Keep arr(1)
Next
WScript.Echo x, arr(1) ' expect: 4 13
WScript.Echo c.BumpTwice(x), x ' expect: 6 6
c.Bump (x)
WScript.Echo x ' expect: 6
c.Resize arr(2) ' expect: resize 10
WScript.Echo arr(2), UBound(arr) ' expect: set 2
Sub Local()
  Dim y, ys(1)
  y = 5
  c.Bump y : c.Bump ys(0) : c.Bump ys(0)
  WScript.Echo y, ys(0)
End Sub
Local ' expect: 6 2

' Property Let and Set: Set goes to Property Set; Let hands an object to Property Let as it is;
' a field given an object by Let takes its default value.
Class Named
  Public Default Property Get Text : Text = "default text" : End Property
End Class
Class Holder
  Public Field
  Public Property Let P(v) : WScript.Echo "let", TypeName(v) : End Property
  Public Property Set P(v) : WScript.Echo "set", TypeName(v) : End Property
  Public Property Set OnlySet(v) : WScript.Echo "only set", TypeName(v) : End Property
End Class
Dim h, nm
Set h = New Holder : Set nm = New Named
For i = 1 To 2
  h.P = nm
  Set h.P = nm
  h.P = 3
  h.OnlySet = nm
Next
' expect: let Named
' expect: set Named
' expect: let Integer
' expect: only set Named
' expect: let Named
' expect: set Named
' expect: let Integer
' expect: only set Named
h.Field = nm
WScript.Echo h.Field ' expect: default text
Set h.Field = nm
WScript.Echo TypeName(h.Field) ' expect: Named
On Error Resume Next
Set h.P = 3
WScript.Echo Err.Number ' expect: 424
On Error GoTo 0

' A property without parameters that returns an object or array: arguments go to what it returns.
Class Store
  Private items_
  Private Sub Class_Initialize
    Set items_ = CreateObject("Scripting.Dictionary")
    items_("a") = 1
  End Sub
  Public Property Get Items : Set Items = items_ : End Property
  Public Property Get List : List = Array("x", "y") : End Property
End Class
Dim st : Set st = New Store
For i = 1 To 2
  st.Items("a") = st.Items("a") + 10
  WScript.Echo st.Items("a"), st.List(1)
Next
' expect: 11 y
' expect: 21 y

' An object the method drops from the only variable that held it lives until the call is over.
Class Leaving
  Public Sub Go : Set leaver = Nothing : WScript.Echo "still running" : End Sub
  Private Sub Class_Terminate : WScript.Echo "terminated" : End Sub
End Class
Dim leaver
For i = 1 To 2
  Set leaver = New Leaving
  leaver.Go
  WScript.Echo "after", i
Next
' expect: still running
' expect: terminated
' expect: after 1
' expect: still running
' expect: terminated
' expect: after 2

' The object of a member call named every way a script can name it; the object stays alive
' until the call is over even when evaluating an argument drops the only variable holding it.
Class Probe
  Public Tag
  Public Child
  Public Function Hello(x) : Hello = Tag & ":" & x : End Function
  Public Sub Say(x) : WScript.Echo Tag, "says", x : End Sub
  Public Property Get Kid : Set Kid = Child : End Property
  Public Function KidHello() : KidHello = Kid.Hello("k") & "," & Child.Hello("c") : End Function
  Private Sub Class_Terminate : WScript.Echo "terminate", Tag : End Sub
End Class
Function MakeProbe(tag) : Set MakeProbe = New Probe : MakeProbe.Tag = tag : End Function
Dim gp, probes(1)
Set gp = MakeProbe("module")
Set probes(1) = MakeProbe("element")
Set gp.Child = MakeProbe("child")
Sub Names(ByRef byref_obj, ByVal byval_obj)
  Dim lp : Set lp = MakeProbe("local")
  WScript.Echo lp.Hello(1), gp.Hello(2), byref_obj.Hello(3), byval_obj.Hello(4), probes(1).Hello(5)
  WScript.Echo MakeProbe("result").Hello(6)
  With lp : WScript.Echo .Hello(7) : End With
  Execute "WScript.Echo lp.Hello(8)"
  Execute "Dim dyn : Set dyn = MakeProbe(""dynamic"")"
  WScript.Echo dyn.Hello(9)
  WScript.Echo gp.KidHello()
End Sub
Names gp, gp
' expect: local:1 module:2 module:3 module:4 element:5
' expect: terminate result
' expect: result:6
' expect: local:7
' expect: local:8
' expect: dynamic:9
' expect: child:k,child:c
' expect: terminate dynamic
' expect: terminate local
Function Drop() : Set gp = Nothing : Drop = "dropped" : End Function
gp.Say Drop()
WScript.Echo "after drop"
' expect: module says dropped
' expect: terminate module
' expect: terminate child
' expect: after drop
On Error Resume Next
undeclared.Hello 1
WScript.Echo Err.Number, IsEmpty(undeclared) ' expect: 424 -1
On Error GoTo 0
Erase probes ' expect: terminate element

' Errors in a member reach the caller at the call; under Resume Next the next statement runs.
Class Failing
  Public Function Divide(n) : Divide = 1 / n : End Function
End Class
Dim fl : Set fl = New Failing
On Error Resume Next
For Each x In Array(2, 0, 4)
  Err.Clear
  out = "none"
  out = fl.Divide(x)
  WScript.Echo out, Err.Number
Next
' expect: 0.5 0
' expect: none 11
' expect: 0.25 0
On Error GoTo 0
fl.Divide 0 ' expect error: 11
