' Values and assignment: what Let does to an object variable, text that converts, the unary
' operators, Property Let with objects, constant and literal subtypes, Single comparisons.
Class Cell
  Private v
  Public Default Property Get Value : Value = v : End Property
  Public Property Let Value(n) : v = n : End Property
End Class
Class Recorder
  Public got
  Public Property Let Item(x) : got = TypeName(x) : End Property
  Public Property Get Item : Item = got : End Property
End Class
Dim o, r, x, n
' Let to a variable that holds an object replaces the variable's value.
Set o = New Cell
o = 5
WScript.Echo TypeName(o), o ' expect: Integer 5
' "#TRUE#" and "#FALSE#" are Boolean texts.
WScript.Echo CBool("#TRUE#"), CBool("#FALSE#"), CBool(" #true# ") ' expect: -1 0 -1
If "#FALSE#" Then WScript.Echo "true branch" Else WScript.Echo "false branch" ' expect: false branch
If "#TRUE#" Then WScript.Echo "true branch" Else WScript.Echo "false branch" ' expect: true branch
' IsDate of an object is False without calling anything; numeric text is a day count.
Set o = New Recorder
WScript.Echo IsDate(o), IsDate(Nothing), IsDate("1") ' expect: 0 0 0
WScript.Echo Year(CDate("1")), Month(CDate("1")), Day(CDate("1")), TypeName(CDate("1")) ' expect: 1899 12 31 Date
' Unary + leaves an object alone; a plain value alone as a statement is no call.
WScript.Echo (+o) Is o ' expect: -1
Sub Alone(v)
  Dim first
  x = v
  On Error Resume Next
  x
  first = Err.Number
  Err.Clear
  v
  WScript.Echo TypeName(v), first, Err.Number
End Sub
Alone 42 ' expect: Integer 13 13
Alone "text" ' expect: String 13 13
Alone Empty ' expect: Empty 13 13
Alone True ' expect: Boolean 13 13
' A Property Let receives an object as the object; Set needs a Property Set.
Set r = New Recorder
Set x = New Cell : x.Value = 9
r.Item = x
WScript.Echo r.Item ' expect: Cell
r.got = x
WScript.Echo TypeName(r.got), r.got ' expect: Integer 9
On Error Resume Next
Set r.Item = x
WScript.Echo Err.Number ' expect: 438
On Error GoTo 0
' A sign binds tighter than ^.
WScript.Echo -3 ^ 2, -3 ^ 3, 2 ^ -1, 4 - 3 ^ 2 ' expect: 9 -27 0.5 -5
n = 3 : WScript.Echo -n ^ 2 ' expect: 9
' Constants of Integer value are Integer; colours, vbObjectError and vbMsgBox* flags are Long.
WScript.Echo VarType(vbSunday), VarType(vbSaturday), VarType(vbOKOnly), VarType(vbYesNo), VarType(vbYes), VarType(vbNo) ' expect: 2 2 2 2 2 2
WScript.Echo VarType(vbEmpty), VarType(vbArray), VarType(vbGeneralDate), VarType(vbShortTime) ' expect: 2 2 2 2
WScript.Echo VarType(vbMsgBoxHelpButton), VarType(vbMsgBoxRight), VarType(vbObjectError), VarType(vbBlack), VarType(vbRed) ' expect: 3 3 3 3 3
' A hex literal with the & suffix takes the smallest type that holds it.
WScript.Echo VarType(&h10&), &hFFFFFFFF&, VarType(&hFFFFFFFF&), VarType(&h8000&), &h8000&, VarType(&h8000) ' expect: 2 -1 2 3 32768 2
' Round keeps a Boolean.
WScript.Echo TypeName(Round(True)), TypeName(Round(False, 2)), Round(True) ' expect: Boolean Boolean -1
' Single against Double compares at Single precision.
WScript.Echo CSng(0.1) = 0.1, CSng(0.001 * 0.001) = 0.000001, CSng(0.1) < 0.1, CSng(1.5) > 1.25 ' expect: -1 -1 0 -1
