' Integer overflow promotion, Mod and \ with doubles, Hex/Oct of negatives, bit operators.
Dim i, j, k
i = 200 : j = 300
k = i * j
WScript.Echo k, TypeName(k), TypeName(i)             ' expect: 60000 Long Integer
WScript.Echo TypeName(32767 + 1), 32767 + 1, TypeName(-32768 - 1) ' expect: Long 32768 Long
WScript.Echo TypeName(2147483647 + 1), 2147483647 + 1 ' expect: Double 2147483648
WScript.Echo TypeName(CLng(65536) * 65536), CLng(65536) * 65536 ' expect: Double 4294967296
WScript.Echo TypeName(100 * 100), TypeName(CInt(100) * CInt(100)), TypeName(1000 * 1000) ' expect: Integer Integer Long
' Loop accumulators grow through Long into Double.
Dim f : f = 1
For i = 1 To 20 : f = f * i : Next
WScript.Echo f, TypeName(f)                         ' expect: 2.43290200817664E+18 Double
f = 1
For i = 1 To 12 : f = f * i : Next
WScript.Echo f, TypeName(f)                         ' expect: 479001600 Long
' Mod and \ round their operands to integers first (banker's rounding).
WScript.Echo 10 Mod 3, -10 Mod 3, 10 Mod -3, 10.5 Mod 3, 11.5 Mod 3, 5.5 \ 2, 6.5 \ 2 ' expect: 1 -1 1 1 0 3 3
WScript.Echo 7 \ 2, -7 \ 2, TypeName(7 \ 2), TypeName(100000 \ 2), TypeName(7.9 Mod 2) ' expect: 3 -3 Integer Long Long
On Error Resume Next
k = 5 Mod 0
WScript.Echo Err.Number                               ' expect: 11
Err.Clear
k = CInt(40000)
WScript.Echo Err.Number, Err.Description              ' expect: 6 Overflow
Err.Clear
k = 2147483647 \ 1 + CLng(2147483647)
WScript.Echo Err.Number, k                            ' expect: 0 4294967294
Err.Clear
k = CLng(2147483647) + CLng(1)
WScript.Echo Err.Number, k, TypeName(k)              ' expect: 0 2147483648 Double
Err.Clear
On Error GoTo 0
' Hex and Oct show two's complement of negative Integers and Longs.
' -32768 is the negation of the Long 32768, so it stays a Long.
WScript.Echo Hex(-1), Hex(CInt(-32768)), Hex(-32768), Hex(-32769), Hex(255), Hex(65535) ' expect: FFFF 8000 FFFF8000 FFFF7FFF FF FFFF
WScript.Echo Oct(-1), Oct(8), Hex(2147483647), Hex(-2147483647 - 1) ' expect: 177777 10 7FFFFFFF 80000000
WScript.Echo Hex(1.5), Hex(2.5), IsNull(Hex(Null))                  ' expect: 2 2 -1
WScript.Echo Hex(CByte(200)), Oct(-8)                 ' expect: C8 177770
' Logical operators on integers are bitwise.
WScript.Echo 12 And 10, 12 Or 10, 12 Xor 10, Not 0, Not 5, 5 Eqv 3, 5 Imp 3 ' expect: 8 14 6 -1 -6 -7 -5
WScript.Echo TypeName(CByte(1) And CByte(3)), TypeName(1 And True), TypeName(True And True) ' expect: Byte Integer Boolean
' Exponent and unary minus precedence.
WScript.Echo -2 ^ 2, (-2) ^ 2, 2 ^ 3 ^ 2, -2 ^ -1    ' expect: 4 4 64 -0.5
WScript.Echo 2 + 3 * 4 Mod 5, 10 - 2 - 3, 2 * 3 \ 4, 7 \ 2 * 2 ' expect: 4 5 1 1
' Sgn, Abs, Int, Fix on negative values and their types.
WScript.Echo Sgn(-3.5), Sgn(0), Abs(-32768), TypeName(Abs(-32768)), Int(-0.5), Fix(-0.5) ' expect: -1 0 32768 Long -1 0
WScript.Echo Sqr(16), Exp(0), Log(Exp(2)), Atn(1) * 4 ' expect: 4 1 2 3.14159265358979
