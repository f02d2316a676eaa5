' Arithmetic results and their subtypes.
Sub Show(v) : WScript.Echo TypeName(v) & " " & v : End Sub
Show 32767 + 1           ' expect: Long 32768
Show 2147483647 + 1      ' expect: Double 2147483648
Show 100 * 400           ' expect: Long 40000
Show CByte(200) + CByte(50) ' expect: Byte 250
Show CByte(200) + CByte(100) ' expect: Integer 300
Show True + True         ' expect: Integer -2
Show Empty + 1           ' expect: Integer 1
Show "1" + 2             ' expect: Double 3
Show "1" + "2"           ' expect: String 12
Show 1 & 2               ' expect: String 12
Show 7 / 2               ' expect: Double 3.5
Show 7 \ 2               ' expect: Integer 3
Show -7 \ 2              ' expect: Integer -3
Show 7 Mod -3            ' expect: Integer 1
Show -7 Mod 3            ' expect: Integer -1
Show 7.5 \ 2             ' expect: Long 4
Show 2 ^ 10              ' expect: Double 1024
Show -2 ^ 2              ' expect: Double 4
Show 2 ^ -1              ' expect: Double 0.5
Show 2 + 3 * 4 - 6 / 2   ' expect: Double 11
Show 10 - 2 - 3          ' expect: Integer 5
Show 2 ^ 3 ^ 2           ' expect: Double 64
Show -(-32768)           ' expect: Long 32768
Show CCur(1.5) * 2       ' expect: Currency 3
Show #1/1/2000# + 1      ' expect: Date 1/2/2000
Show #1/3/2000# - #1/1/2000# ' expect: Double 2
Show 5 And 3             ' expect: Integer 1
Show 5 Or 3              ' expect: Integer 7
Show 5 Xor 3             ' expect: Integer 6
Show Not 0               ' expect: Integer -1
Show True And False      ' expect: Boolean False
Show True Or False       ' expect: Boolean True
Show True Xor True       ' expect: Boolean False
Show True Eqv False      ' expect: Boolean False
Show False Imp False     ' expect: Boolean True
Show Not True            ' expect: Boolean False
Show 1 + 2 & 3 + 4       ' expect: String 37
' Null propagation.
WScript.Echo IsNull(Null + 1), IsNull(Null & Null), Null & "x", IsNull(-Null) ' expect: -1 -1 x -1
WScript.Echo Null And False, IsNull(Null And True), Null Or True, IsNull(Null Or False) ' expect: 0 -1 -1 -1
WScript.Echo IsNull(Not Null), True Imp Null, IsNull(False Imp Null) ' expect: -1 null 0
' Errors.
On Error Resume Next
x = 1 \ 0 : WScript.Echo Err.Number : Err.Clear ' expect: 11
x = 0 / 0 : WScript.Echo Err.Number : Err.Clear ' expect: 6
x = "abc" + 1 : WScript.Echo Err.Number : Err.Clear ' expect: 13
x = 2147483647 \ 1 + 0 : WScript.Echo Err.Number, x : Err.Clear ' expect: 0 2147483647
x = 1E308 * 10 : WScript.Echo Err.Number : Err.Clear ' expect: 6
' Not as the operand of a comparison or arithmetic operator takes the rest of the
' comparison as its operand; the logical operators after it still bind looser.
WScript.Echo CStr(True = Not False), CStr((True = Not False))  ' expect: True True
WScript.Echo CStr(False = Not True And False)                  ' expect: False
WScript.Echo 1 + Not 0, 2 ^ Not -2, - Not 0                    ' expect: 0 2 1
WScript.Echo CStr(3 > Not 5), CStr(Not 1 = 2)                  ' expect: True True
