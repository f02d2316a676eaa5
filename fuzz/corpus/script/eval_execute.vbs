' Eval, Execute, ExecuteGlobal, GetRef.
Dim x : x = 10
WScript.Echo Eval("x * 2 + 1")  ' expect: 21
WScript.Echo Eval("x = 10")     ' expect: -1
Execute "x = x + 5"
WScript.Echo x                  ' expect: 15
Function UsesLocals(a)
  Dim b : b = 3
  Execute "b = b + a"
  UsesLocals = Eval("a * b")
End Function
WScript.Echo UsesLocals(2)      ' expect: 10
Sub DefineGlobal()
  ExecuteGlobal "Function Added(n) : Added = n + 100 : End Function"
  ExecuteGlobal "Dim fromGlobal : fromGlobal = ""fg"""
End Sub
DefineGlobal
WScript.Echo Added(1), fromGlobal ' expect: 101 fg
Function Square(n) : Square = n * n : End Function
Dim f : Set f = GetRef("Square")
WScript.Echo f(7), TypeName(f) = "Object" ' expect: 49 -1
Sub Hello(who) : WScript.Echo "hello " & who : End Sub
Set f = GetRef("Hello")
f "ref"                         ' expect: hello ref
Class KK
  Private secret
  Sub Init() : secret = 42 : End Sub
  Function Peek() : Peek = Eval("secret") : End Function
End Class
Dim k : Set k = New KK : k.Init
WScript.Echo k.Peek()           ' expect: 42
On Error Resume Next
Execute "x = "
WScript.Echo Err.Number         ' expect: 1023
Err.Clear
Dim bad : bad = Eval("1 +* 2")
WScript.Echo Err.Number <> 0    ' expect: -1
Err.Clear
Set f = GetRef("NoSuchProc")
WScript.Echo Err.Number         ' expect: 5
