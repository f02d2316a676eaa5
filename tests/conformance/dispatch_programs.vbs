' Select Case with mixed types, For Each over collections, Execute/Eval/GetRef, ByRef/ByVal.
Function Classify(v)
  Select Case v
    Case "a", "b" : Classify = "letter"
    Case 1, 2, 3 : Classify = "small"
    Case 10 : Classify = "ten"
    Case Empty : Classify = "empty"
    Case Else : Classify = "other:" & TypeName(v)
  End Select
End Function
WScript.Echo Classify(2), Classify("b"), Classify(10), Classify("10"), Classify(2.0), Classify(Empty), Classify(Null) ' expect: small letter ten ten small empty other:Null
WScript.Echo Classify(True), Classify(3.5)            ' expect: other:Boolean other:Double
' A string that is not a number, tested against a numeric literal, is a type mismatch.
On Error Resume Next
WScript.Echo Classify("A")
WScript.Echo Err.Number                               ' expect: 13
Err.Clear
On Error GoTo 0
' Select Case True as an if-chain.
Function Grade(score)
  Select Case True
    Case score >= 90 : Grade = "A"
    Case score >= 80 : Grade = "B"
    Case Else : Grade = "F"
  End Select
End Function
WScript.Echo Grade(95), Grade(85), Grade(10)          ' expect: A B F
' Case expressions are evaluated in order and only until one matches.
Dim calls : calls = ""
Function Probe(x) : calls = calls & x : Probe = x : End Function
Select Case 2
  Case Probe(1), Probe(2), Probe(3) : calls = calls & "!"
  Case Probe(4)
End Select
WScript.Echo calls                                    ' expect: 12!
' For Each over a Dictionary walks keys in insertion order; Items and Keys are arrays.
Dim d, k, total
Set d = CreateObject("Scripting.Dictionary")
d.Add "apple", 3 : d.Add "pear", 5 : d("fig") = 7
For Each k In d
  total = total & k & "=" & d(k) & ";"
Next
WScript.Echo total                                    ' expect: apple=3;pear=5;fig=7;
total = 0
For Each k In d.Items : total = total + k : Next
WScript.Echo total, UBound(d.Keys), d.Keys()(2), d.Items()(0) ' expect: 15 2 fig 3
d.Key("pear") = "PEAR"
WScript.Echo Join(d.Keys, ","), d.Exists("pear"), d.Exists("PEAR"), d.Count ' expect: apple,PEAR,fig 0 -1 3
' CompareMode can change only while the Dictionary is empty.
On Error Resume Next
d.CompareMode = 1
WScript.Echo Err.Number                               ' expect: 5
Err.Clear
On Error GoTo 0
Dim dt : Set dt = CreateObject("Scripting.Dictionary")
dt.CompareMode = vbTextCompare
dt("Key") = 1 : dt("KEY") = 2
WScript.Echo dt.Count, dt("key")                      ' expect: 1 2
' Numbers and strings are different keys; reading a missing key adds it.
Dim dn : Set dn = CreateObject("Scripting.Dictionary")
dn(1) = "int" : dn("1") = "str"
WScript.Echo dn.Count, dn(1), dn("1")                 ' expect: 2 int str
WScript.Echo "[" & dn("missing") & "]", dn.Count      ' expect: [] 3
' For Each over RegExp matches and their submatches.
Dim re, m, out
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
out = ""
For Each m In re.Execute("mail bob@example.com and ann@test.com now")
  out = out & m.FirstIndex & ":" & m.Value & "(" & m.SubMatches(0) & "/" & m.SubMatches(1) & ") "
Next
WScript.Echo out                                      ' expect: 5:bob@example.com(bob/example) 25:ann@test.com(ann/test)
' Execute and ExecuteGlobal: local scope versus global scope.
Dim g : g = 1
Sub RunLocal()
  Dim g : g = 10
  Execute "g = g + 1"
  WScript.Echo "local", g
  ExecuteGlobal "g = g + 100"
End Sub
RunLocal                                              ' expect: local 11
WScript.Echo g                                        ' expect: 101
ExecuteGlobal "Function Sq(x) : Sq = x * x : End Function"
WScript.Echo Sq(7), Eval("Sq(3) + 1"), Eval("g > 100") ' expect: 49 10 -1
Execute "Dim made : made = ""created"""
WScript.Echo made                                      ' expect: created
' Eval treats = as comparison; Execute treats it as assignment.
Dim x : x = 5
WScript.Echo Eval("x = 5"), Eval("x = 6")             ' expect: -1 0
Execute "x = 6"
WScript.Echo x                                        ' expect: 6
' GetRef makes callbacks.
Function AddOne(v) : AddOne = v + 1 : End Function
Function Twice(v) : Twice = v * 2 : End Function
Function MapArr(arr, fn)
  Dim r(), i : ReDim r(UBound(arr))
  For i = 0 To UBound(arr) : r(i) = fn(arr(i)) : Next
  MapArr = r
End Function
WScript.Echo Join(MapArr(Array(1, 2, 3), GetRef("AddOne")), ","), Join(MapArr(Array(1, 2, 3), GetRef("Twice")), ",") ' expect: 2,3,4 2,4,6
Dim fp : Set fp = GetRef("AddOne")
WScript.Echo fp(41), IsObject(fp)                    ' expect: 42 -1
' ByRef and ByVal: parentheses, array elements, object properties, expressions.
Sub Bump(ByRef v) : v = v + 1 : End Sub
Sub BumpVal(ByVal v) : v = v + 1 : End Sub
Dim a, arr, o
a = 1
Bump a : WScript.Echo a                               ' expect: 2
Bump (a) : WScript.Echo a                             ' expect: 2
Call Bump(a) : WScript.Echo a                         ' expect: 3
Call Bump((a)) : WScript.Echo a                       ' expect: 3
BumpVal a : WScript.Echo a                            ' expect: 3
Bump a + 0 : WScript.Echo a                           ' expect: 3
arr = Array(10, 20)
Bump arr(1) : WScript.Echo arr(1)                     ' expect: 21
Class Holder : Public Value : End Class
Set o = New Holder : o.Value = 5
Bump o.Value : WScript.Echo o.Value                   ' expect: 5
' A function's ByRef argument changed, result used in an expression.
Function TakeAndChange(ByRef s) : s = s & "!" : TakeAndChange = Len(s) : End Function
Dim str : str = "hey"
WScript.Echo TakeAndChange(str) + 1, str              ' expect: 5 hey!
' Passing a loop variable or constant ByRef.
Const LIMIT = 3
Bump LIMIT
WScript.Echo LIMIT                                    ' expect: 3
