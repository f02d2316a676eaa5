' Default members, indexed properties, Me, With on new objects, GetRef handlers, Const forms.
Const kNeg = -5, kHex = &HFF, kText = "t", kWhen = #1/2/2003#, kOn = True, kNone = Null
WScript.Echo kNeg, kHex, kText, kWhen, kOn, IsNull(kNone) ' expect: -5 255 t 1/2/2003 -1 -1
Class Greeter
  Public Default Function Greet(name) : Greet = "hi " & name : End Function
End Class
Dim g : Set g = New Greeter
WScript.Echo g("bob"), g.Greet("al") ' expect: hi bob hi al
' Property Let with index arguments: the value comes last.
Class Grid
  Private cells(2, 2)
  Public Property Get Cell(r, c) : Cell = cells(r, c) : End Property
  Public Property Let Cell(r, c, v) : cells(r, c) = r & c & "=" & v : End Property
  Public Default Property Get Item(i) : Item = "item" & i : End Property
End Class
Dim gr : Set gr = New Grid
gr.Cell(1, 2) = "x"
WScript.Echo gr.Cell(1, 2), gr(5), gr.Item(6) ' expect: 12=x item5 item6
With gr : .Cell(0, 1) = "w" : WScript.Echo .Cell(0, 1) : End With ' expect: 01=w
' Me is a value: a ByRef parameter that receives it cannot replace the caller's object.
Class Node
  Public name
  Sub PassMe() : Replace Me : WScript.Echo "me is", name : End Sub
End Class
Sub Replace(ByRef o)
  Set o = New Node
  o.name = "replaced"
End Sub
Dim n : Set n = New Node : n.name = "orig"
n.PassMe ' expect: me is orig
WScript.Echo n.name ' expect: orig
' With on an expression that makes a new object: it lives until End With.
Class Temp
  Public v
  Private Sub Class_Terminate : WScript.Echo "terminate", v : End Sub
  Function Make(val) : Set Make = New Temp : Make.v = val : End Function
End Class
With New Temp
  .v = "w1"
  With .Make("w2")
    WScript.Echo "inner", .v ' expect: inner w2
  End With ' expect: terminate w2
  WScript.Echo "outer", .v ' expect: outer w1
End With ' expect: terminate w1
' GetRef objects as event handlers kept by another object.
Class Button
  Private handler
  Public Property Set OnClick(h) : Set handler = h : End Property
  Public Sub Click(who) : handler who, "clicked" : End Sub
  Public Function Ask(q) : Ask = handler(q, "asked") : End Function
End Class
Function Handler(sender, what) : WScript.Echo "handler", sender, what : Handler = "answer" : End Function
Dim b : Set b = New Button
Set b.OnClick = GetRef("Handler")
b.Click "b1" ' expect: handler b1 clicked
WScript.Echo b.Ask("q") ' expect: handler q asked
' expect: answer
' Eval compares where Execute assigns.
Dim x : x = 1
WScript.Echo Eval("x = 1"), Eval("x = 2") ' expect: -1 0
Execute "x = 2"
WScript.Echo x ' expect: 2
' An object's default property value in string and comparison contexts.
Class Labelled : Public Default Property Get Text : Text = "dflt" : End Property : End Class
Dim lb : Set lb = New Labelled
WScript.Echo "[" & lb & "]", lb = "dflt" ' expect: [dflt] -1
