' Fixed and dynamic arrays, ReDim, Erase, multi-dimensional arrays, For Each.
Dim a(2), m(1, 2), d(), i, s
a(0) = "x" : a(2) = 3
WScript.Echo UBound(a), a(0), IsEmpty(a(1)), a(2) ' expect: 2 x -1 3
m(1, 2) = "corner" : m(0, 0) = "origin"
WScript.Echo UBound(m, 1), UBound(m, 2), m(1, 2), m(0, 0) ' expect: 1 2 corner origin
ReDim d(3)
For i = 0 To 3 : d(i) = i * i : Next
ReDim Preserve d(5)
WScript.Echo UBound(d), d(3), IsEmpty(d(5)) ' expect: 5 9 -1
ReDim d(1)
WScript.Echo IsEmpty(d(0))      ' expect: -1
s = ""
For Each i In a : s = s & "[" & i & "]" : Next
WScript.Echo s                  ' expect: [x][][3]
' Arrays are copied on assignment.
Dim b : b = a : b(0) = "changed"
WScript.Echo a(0), b(0)         ' expect: x changed
Erase a
WScript.Echo UBound(a), IsEmpty(a(0)) ' expect: 2 -1
Dim grow : grow = Array()
WScript.Echo UBound(grow)       ' expect: -1
ReDim grow(0) : grow(0) = 1
WScript.Echo grow(0)            ' expect: 1
' For Each over an array iterates a snapshot.
Dim snap : snap = Array(1, 2, 3) : s = 0
For Each i In snap : snap(2) = 100 : s = s + i : Next
WScript.Echo s                  ' expect: 6
Function MakeArr() : MakeArr = Array(5, 6) : End Function
WScript.Echo MakeArr()(1)       ' expect: 6
On Error Resume Next
WScript.Echo a(3)
WScript.Echo Err.Number         ' expect: 9
Err.Clear
ReDim a(5)
WScript.Echo Err.Number         ' expect: 10
Err.Clear
ReDim md(1, 1) : ReDim Preserve md(2, 1)
WScript.Echo Err.Number         ' expect: 9
Err.Clear
i = 5 : i(0) = 1
WScript.Echo Err.Number         ' expect: 13
