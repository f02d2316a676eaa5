' s = s & ... grows the variable's own string: linear time, with every operand evaluated in
' order and other holders of the old text unaffected.
Dim s, i, t, u, ok
t = Timer
s = ""
For i = 1 To 200000
  s = s & "x"
Next
WScript.Echo Len(s), CStr(Timer - t < 1)     ' expect: 200000 True
' A copy keeps the old text; mixed operands convert as & converts them.
u = s
s = s & "y" & 1 & Null & True & Empty & 2.5
WScript.Echo Len(u), Len(s), Right(s, 9)     ' expect: 200000 200009 y1True2.5
' An operand that changes the variable sees and leaves the values in evaluation order.
Function Twice(v) : s = "changed" : Twice = v & v : End Function
s = "ab"
s = s & Twice("c") & s
WScript.Echo s                               ' expect: abccchanged
' By-reference parameters and Field variables append to the caller's variable.
Sub AddTo(ByRef acc) : acc = acc & "+" : End Sub
s = "p" : AddTo s : AddTo s
WScript.Echo s                               ' expect: p++
Class Buf
  Public text
  Sub Add(x) : text = text & x : End Sub
End Class
Dim bf : Set bf = New Buf
bf.text = "<" : bf.Add "a" : bf.Add 1
WScript.Echo bf.text                         ' expect: <a1
' Byte strings of odd length stay byte-exact through repeated appends.
Dim b : b = ChrB(1)
For i = 2 To 301 : b = b & ChrB(i Mod 256) : Next
ok = (LenB(b) = 301)
For i = 1 To 301
  If AscB(MidB(b, i, 1)) <> i Mod 256 Then ok = False
Next
WScript.Echo CStr(ok), LenB(b & ChrB(7)), AscB(RightB(b & ChrB(7), 1)) ' expect: True 302 7
b = ChrB(65) : b = b & "Z"
WScript.Echo LenB(b), AscB(MidB(b, 2, 1)), AscB(MidB(b, 3, 1))         ' expect: 3 90 0
' Not a string yet: the ordinary & applies; an object operand uses its default value.
Dim n : n = 5 : n = n & 6
WScript.Echo n, TypeName(n)                  ' expect: 56 String
Dim nl : nl = Null : nl = nl & Null
WScript.Echo CStr(IsNull(nl))                ' expect: True
Class Val
  Public Default Property Get V : V = "dv" : End Property
End Class
s = "x" : s = s & New Val
WScript.Echo s                               ' expect: xdv
On Error Resume Next
s = "keep" : s = s & Array(1)
WScript.Echo Err.Number, s                   ' expect: 13 keep
On Error GoTo 0
' Whole numbers join as their digits: every width and sign, on either side, through the tree
' (module code), a compiled procedure and an append to the variable.
WScript.Echo "a" & CByte(255) & CInt(-32768) & "|" & CLng(-2147483648) & "|" & 0 & -7   ' expect: a255-32768|-2147483648|0-7
Function Joined(x, y) : Joined = x & y : End Function
WScript.Echo Joined(-32768, "z"), Joined("z", 2147483647), Joined(12, 34), Joined(Empty, -1) ' expect: -32768z z2147483647 1234 -1
Function Grown(n) : Dim i : Grown = "" : For i = -2 To n : Grown = Grown & i & "," : Next : End Function
WScript.Echo Grown(3)                        ' expect: -2,-1,0,1,2,3,
s = ChrB(65) : s = s & 7
WScript.Echo LenB(s), AscB(MidB(s, 2, 1))    ' expect: 3 55
' A string a dictionary holds as a key keeps its text when the variable it came from grows.
Dim kd : Set kd = CreateObject("Scripting.Dictionary")
s = "key" & 1 : kd.Add s, 1 : s = s & "more" : kd.Add s, 2
WScript.Echo Join(kd.Keys, ","), CStr(kd.Exists("key1")), CStr(kd.Exists("key1more"))    ' expect: key1,key1more True True
Set kd = CreateObject("Scripting.Dictionary") : kd.CompareMode = 1
s = "Ab" : kd.Add s, 1 : s = s & "c"
WScript.Echo CStr(kd.Exists("aB")), CStr(kd.Exists("abc")), Join(kd.Keys, ",")  ' expect: True False Ab
