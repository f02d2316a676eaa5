' A syntax error stops the file before anything runs.
WScript.Echo "not printed"
If x Then
  y = 1
' expect error: 1014
