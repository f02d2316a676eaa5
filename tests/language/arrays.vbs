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
On Error GoTo 0
' ReDim Preserve keeps every element when only the last dimension changes.
Dim dm() : ReDim dm(1, 2)
dm(0, 0) = "00" : dm(1, 0) = "10" : dm(0, 2) = "02" : dm(1, 2) = "12"
ReDim Preserve dm(1, 4)
WScript.Echo dm(0, 0), dm(1, 0), dm(0, 2), dm(1, 2), IsEmpty(dm(1, 4)), UBound(dm, 2) ' expect: 00 10 02 12 -1 4
ReDim Preserve dm(1, 1)
WScript.Echo dm(1, 0), UBound(dm, 2) ' expect: 10 1
On Error Resume Next
ReDim Preserve dm(2, 1)
WScript.Echo Err.Number ' expect: 9
Err.Clear
ReDim Preserve m(1, 3)
WScript.Echo Err.Number ' expect: 10
Err.Clear
' Erase empties a fixed array in place and drops a dynamic one's elements.
Erase m
WScript.Echo UBound(m, 2), IsEmpty(m(1, 2)) ' expect: 2 -1
Erase dm
i = UBound(dm)
WScript.Echo Err.Number ' expect: 9
Err.Clear
On Error GoTo 0
' Arrays go to ByRef parameters by reference and to ByVal ones as copies.
Sub SetByRef(arr) : arr(1) = "byref" : End Sub
Sub SetByVal(ByVal arr) : arr(1) = "byval" : End Sub
Dim p : p = Array(1, 2, 3)
SetByVal p
WScript.Echo p(1) ' expect: 2
SetByRef p
WScript.Echo p(1) ' expect: byref
' A copy of a fixed array is a dynamic array of its own.
Dim fixedSrc(1) : fixedSrc(0) = "f"
Dim copied : copied = fixedSrc
copied(0) = "g"
ReDim Preserve copied(3)
WScript.Echo fixedSrc(0), copied(0), UBound(copied) ' expect: f g 3
