Option Explicit
Dim declared : declared = 1
WScript.Echo declared ' expect: 1
undeclared = 2        ' expect error: 500
