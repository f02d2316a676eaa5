WScript.Echo "hello"
