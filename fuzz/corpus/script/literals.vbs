' Literal subtypes, string quoting, comments, continuation and statement separators.
WScript.Echo TypeName(1), TypeName(32767), TypeName(32768), TypeName(2147483647), TypeName(2147483648) ' expect: Integer Integer Long Long Double
WScript.Echo &HFF, &HFFFF, &H8000, &HFFFF&, &H10000, &HFFFFFFFF ' expect: 255 -1 -32768 65535 65536 -1
WScript.Echo TypeName(&HFFFF), TypeName(&HFFFF&), TypeName(&H10000) ' expect: Integer Long Long
WScript.Echo &O17, &17, 1.5E3, .5, 2.5e-3 ' expect: 15 15 1500 0.5 0.0025
WScript.Echo TypeName(1.0), TypeName(-32768), TypeName(-32769) ' expect: Double Long Long
WScript.Echo "say ""hi""", Len("""") ' expect: say "hi" 1
WScript.Echo #1/15/2024#, TypeName(#1/15/2024#) ' expect: 1/15/2024 Date
Rem a remark line
WScript.Echo "a" & _
   "b" & _
   "c" ' expect: abc
Dim a : a = 1 : WScript.Echo a : a = a + 1 : WScript.Echo a ' expect: 1
' expect: 2
WScript.Echo [my var] ' expect:
DIM MixedCase : mixedcase = 3 : WSCRIPT.ECHO MIXEDCASE ' expect: 3
' Lone CR and lone LF end lines too.
Execute "x1 = 1" & Chr(13) & "x2 = 2" & Chr(10) & "x3 = 3" & vbCrLf & "WScript.Echo x1 + x2 + x3" ' expect: 6
