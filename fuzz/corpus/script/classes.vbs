' Classes: fields, properties, default members, Me, lifetime.
Class Counter
  Private count_
  Public Label
  Private Sub Class_Initialize() : count_ = 0 : Label = "ctr" : End Sub
  Private Sub Class_Terminate() : WScript.Echo "terminate " & Label : End Sub
  Public Property Get Count() : Count = count_ : End Property
  Public Property Let Count(v)
    If v < 0 Then Err.Raise 5
    count_ = v
  End Property
  Public Sub Add(n) : count_ = count_ + n : End Sub
  Public Function Self() : Set Self = Me : End Function
  Public Default Function Describe() : Describe = Label & "=" & count_ : End Function
End Class
Dim c : Set c = New Counter
c.Add 3 : c.Count = c.Count + 1
WScript.Echo c.Count, c.Describe, c  ' expect: 4 ctr=4 ctr=4
WScript.Echo TypeName(c), VarType(c), IsObject(c) ' expect: Counter 9 -1
WScript.Echo c.Self() Is c           ' expect: -1
Dim d : Set d = c
Set c = Nothing
WScript.Echo "still alive"           ' expect: still alive
d.Label = "d"
Set d = Nothing                      ' expect: terminate d
' Private members are hidden from outside.
Set c = New Counter
On Error Resume Next
WScript.Echo c.count_
WScript.Echo Err.Number              ' expect: 438
Err.Clear
c.Count = -1
WScript.Echo Err.Number, c.Count     ' expect: 5 0
On Error GoTo 0
' Indexed properties and Property Set.
Class Bag
  Private items_(3)
  Private owner_
  Public Property Get Item(i) : Item = items_(i) : End Property
  Public Property Let Item(i, v) : items_(i) = v : End Property
  Public Property Set Owner(o) : Set owner_ = o : End Property
  Public Property Get Owner() : Set Owner = owner_ : End Property
End Class
Dim bg : Set bg = New Bag
bg.Item(2) = "two"
WScript.Echo bg.Item(2)             ' expect: two
Set bg.Owner = c
WScript.Echo bg.Owner.Label         ' expect: ctr
' Fields that hold arrays and objects.
Class Node
  Public Value, NextNode
  Public Arr(2)
End Class
Dim n1 : Set n1 = New Node : Set n1.NextNode = New Node
n1.NextNode.Value = 7
n1.Arr(1) = "a1"
WScript.Echo n1.NextNode.Value, n1.Arr(1) ' expect: 7 a1
' Class_Terminate when a procedure's local goes.
Sub Scope()
  Dim t : Set t = New Counter : t.Label = "local"
End Sub
Scope                                ' expect: terminate local
WScript.Echo "after scope"           ' expect: after scope
' Methods calling each other without Me.
Class Calc
  Function Sq(x) : Sq = x * x : End Function
  Function SumSq(a, b) : SumSq = Sq(a) + Sq(b) : End Function
End Class
Dim k : Set k = New Calc
WScript.Echo k.SumSq(3, 4)           ' expect: 25
Set bg = Nothing
Set c = Nothing                      ' expect: terminate ctr
