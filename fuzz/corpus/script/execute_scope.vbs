' Execute runs in the scope it is called from: inside a procedure its Dim, Const and new names
' are that procedure's locals; ExecuteGlobal and module-level Execute make module variables.
Function MakesLocals(n)
  Execute "Dim made : made = n * 2"
  Execute "implicit = made + 1"
  Execute "Const limit = 7 : Dim arr(2) : arr(1) = limit"
  MakesLocals = made & " " & implicit & " " & arr(1) & " " & Eval("made + implicit")
End Function
WScript.Echo MakesLocals(5)                      ' expect: 10 11 7 21
WScript.Echo IsEmpty(made), IsEmpty(implicit)     ' expect: -1 -1
' Each call has its own: a recursive call does not see its caller's.
Function Depth(n)
  Execute "Dim mine : mine = n"
  If n > 0 Then Depth = Depth(n - 1) & "," & mine Else Depth = CStr(mine)
End Function
WScript.Echo Depth(3)                             ' expect: 0,1,2,3
' Execute code sees the procedure's declared and undeclared locals and writes them.
Sub SeesLocals()
  Dim declared : declared = "d"
  undeclared = "u"
  Execute "declared = declared & ""+"" : undeclared = undeclared & ""+"""
  WScript.Echo declared, undeclared               ' expect: d+ u+
End Sub
SeesLocals
' A global of the same name is not shadowed by mere use, only by Dim.
Dim shared : shared = "global"
Sub UsesGlobal()
  Execute "shared = shared & "" seen"""
  Execute "Dim shared : shared = ""local"""
  WScript.Echo shared                             ' expect: local
End Sub
UsesGlobal
WScript.Echo shared                               ' expect: global seen
' Nested Execute inside a procedure still lands in the procedure.
Sub Nested()
  Execute "Execute ""Dim deep : deep = 42"""
  WScript.Echo deep                               ' expect: 42
End Sub
Nested
WScript.Echo IsEmpty(deep)                        ' expect: -1
' ExecuteGlobal from a procedure, and Execute at module level, make module variables.
Sub MakesGlobals()
  ExecuteGlobal "Dim viaGlobal : viaGlobal = ""g"""
End Sub
MakesGlobals
Execute "Dim viaModule : viaModule = ""m"""
WScript.Echo viaGlobal, viaModule                 ' expect: g m
' Inside a class method: the method's locals, next to the instance's fields.
Class Counter
  Private total
  Function Add(n)
    Execute "Dim step2 : step2 = n * 2 : total = total + step2"
    Add = total & "/" & step2
  End Function
End Class
Dim c : Set c = New Counter
WScript.Echo c.Add(1), c.Add(2)                   ' expect: 2/2 6/4
WScript.Echo IsEmpty(step2)                       ' expect: -1
