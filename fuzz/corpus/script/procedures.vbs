' Subs, functions, ByRef/ByVal, parenthesised arguments, recursion.
Sub Inc(x) : x = x + 1 : End Sub
Sub IncVal(ByVal x) : x = x + 1 : End Sub
Function Twice(n) : Twice = n * 2 : End Function
Function NoResult() : End Function
Function Early(n)
  Early = "start"
  If n > 0 Then Exit Function
  Early = "end"
End Function
Dim a : a = 1
Inc a : WScript.Echo a           ' expect: 2
IncVal a : WScript.Echo a        ' expect: 2
Inc (a) : WScript.Echo a         ' expect: 2
Call Inc(a) : WScript.Echo a     ' expect: 3
WScript.Echo Twice(a), TWICE(2)  ' expect: 6 4
WScript.Echo IsEmpty(NoResult()) ' expect: -1
WScript.Echo Early(1), Early(0)  ' expect: start end
' Array elements go by reference, members of objects by value.
Dim arr(2) : arr(1) = 10
Inc arr(1) : WScript.Echo arr(1) ' expect: 11
Class Box : Public V : End Class
Dim b : Set b = New Box : b.V = 5
Inc b.V : WScript.Echo b.V       ' expect: 5
' Recursion.
Function Fact(n)
  If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)
End Function
WScript.Echo Fact(10)            ' expect: 3628800
' ByRef through two levels.
Sub Outer(v) : Inner v : End Sub
Sub Inner(w) : w = "changed" : End Sub
Dim t : t = "orig" : Outer t : WScript.Echo t ' expect: changed
' User procedures shadow built-in functions.
Function Len(s) : Len = "mine" : End Function
WScript.Echo Len("abc")          ' expect: mine
' Procedure-level variables are separate from module ones.
Dim g : g = "module"
Sub Shadow() : Dim g : g = "local" : End Sub
Shadow : WScript.Echo g          ' expect: module
Sub Implicit() : g = "set by sub" : End Sub
Implicit : WScript.Echo g        ' expect: set by sub
Sub LocalOnly() : newvar = 1 : End Sub
LocalOnly : WScript.Echo IsEmpty(newvar) ' expect: -1
' A function used as a statement, arguments with calls inside.
Twice 3
WScript.Echo Twice(Twice(2) + 1) ' expect: 10
Sub Many(a, b, c) : WScript.Echo a & b & c : End Sub
Many 1, (2) + 3, "x"             ' expect: 15x
Many (1), 2, 3                   ' expect: 123
On Error Resume Next
Many 1, 2
WScript.Echo Err.Number          ' expect: 450
