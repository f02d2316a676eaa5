' Arrays as programs use them: grids, growing lists, jagged arrays, arrays in dictionaries.
Option Explicit
Dim grid(2, 3), r, c, line
For r = 0 To 2
  For c = 0 To 3
    grid(r, c) = r * 10 + c
  Next
Next
WScript.Echo UBound(grid), UBound(grid, 1), UBound(grid, 2), LBound(grid, 2) ' expect: 2 2 3 0
line = ""
For Each c In grid
  line = line & c & " "
Next
' For Each walks a multi-dimensional array with the first index varying fastest.
WScript.Echo line                     ' expect: 0 10 20 1 11 21 2 12 22 3 13 23
' ReDim Preserve may change only the last dimension.
Dim dyn()
ReDim dyn(1, 1)
dyn(1, 1) = "x"
ReDim Preserve dyn(1, 4)
WScript.Echo dyn(1, 1), UBound(dyn, 2) ' expect: x 4
On Error Resume Next
ReDim Preserve dyn(3, 4)
WScript.Echo Err.Number                ' expect: 9
Err.Clear
On Error GoTo 0
' A growing list.
Dim list(), n, i
n = 0
ReDim list(-1 + 1)
For i = 1 To 5
  If n > UBound(list) Then ReDim Preserve list(UBound(list) * 2 + 1)
  list(n) = i * i
  n = n + 1
Next
ReDim Preserve list(n - 1)
WScript.Echo Join(list, ","), UBound(list) ' expect: 1,4,9,16,25 4
' Shrinking with Preserve drops the tail; ReDim without Preserve empties.
ReDim Preserve list(1)
WScript.Echo Join(list, ",")           ' expect: 1,4
ReDim list(2)
WScript.Echo "[" & Join(list, ",") & "]", IsEmpty(list(0)) ' expect: [,,] -1
' Erase: fixed arrays are cleared, dynamic ones lose their storage.
Dim fixed(2)
fixed(0) = 5 : fixed(1) = "s"
Erase fixed
WScript.Echo UBound(fixed), IsEmpty(fixed(0)), "[" & fixed(1) & "]" ' expect: 2 -1 []
Erase list
On Error Resume Next
n = UBound(list)
WScript.Echo Err.Number                ' expect: 9
Err.Clear
On Error GoTo 0
' Array assignment copies; changing the copy leaves the original.
Dim a, b
a = Array(1, 2, 3)
b = a
b(0) = 99
WScript.Echo a(0), b(0)                ' expect: 1 99
' Arrays of arrays.
Dim jag
jag = Array(Array(1, 2), Array("a", Array("deep")), Array())
WScript.Echo jag(0)(1), jag(1)(1)(0), UBound(jag(2)) ' expect: 2 deep -1
' Arrays inside a Dictionary: the item is a copy, so write it back.
Dim dict, arr
Set dict = CreateObject("Scripting.Dictionary")
dict.Add "nums", Array(1, 2, 3)
arr = dict("nums")
arr(0) = 100
WScript.Echo dict("nums")(0), arr(0)   ' expect: 1 100
dict("nums") = arr
WScript.Echo dict("nums")(0), UBound(dict.Item("nums")) ' expect: 100 2
' Functions returning arrays and taking them ByRef.
Function Range(lo, hi)
  Dim t(), k
  ReDim t(hi - lo)
  For k = lo To hi : t(k - lo) = k : Next
  Range = t
End Function
Sub DoubleAll(ByRef xs)
  Dim k
  For k = LBound(xs) To UBound(xs) : xs(k) = xs(k) * 2 : Next
End Sub
Dim rg : rg = Range(3, 6)
DoubleAll rg
WScript.Echo Join(rg, " ")             ' expect: 6 8 10 12
WScript.Echo Range(1, 3)(2)            ' expect: 3
' Bubble sort of strings.
Dim words, sw, tmp
words = Split("pear apple fig banana", " ")
Do
  sw = False
  For i = 0 To UBound(words) - 1
    If words(i) > words(i + 1) Then
      tmp = words(i) : words(i) = words(i + 1) : words(i + 1) = tmp : sw = True
    End If
  Next
Loop While sw
WScript.Echo Join(words)               ' expect: apple banana fig pear
' Type information.
WScript.Echo TypeName(grid), VarType(words), IsArray(words), IsArray("x") ' expect: Variant() 8204 -1 0
Dim emptyArr : emptyArr = Array()
WScript.Echo UBound(emptyArr), LBound(emptyArr) ' expect: -1 0
' Out of range indexes.
On Error Resume Next
WScript.Echo a(3)
WScript.Echo Err.Number, Err.Description ' expect: 9 Subscript out of range
Err.Clear
WScript.Echo grid(1)
WScript.Echo Err.Number                ' expect: 9
On Error GoTo 0
