WScript.Echo "first" ' expect: first
Dim v : v = "text" * 2 ' expect error: 13
WScript.Echo "never"
