' Err.Raise: failure codes map to the language's numbers, arguments left out keep what Err
' holds, and Err.Description never carries the name an error report adds.
On Error Resume Next
Sub Raised(code)
  On Error Resume Next
  Err.Raise code
  WScript.Echo Err.Number, Err.Description
End Sub
Raised &h800A00AA& ' expect: 170 Unknown runtime error
Raised &h800A000B& ' expect: 11 Division by zero
Raised &h8007000E& ' expect: 7 Out of memory
Raised &h80004001& ' expect: 445 Object doesn't support this action
Raised &h80070057& ' expect: 5 Invalid procedure call or argument
Raised &h80020005& ' expect: 13 Type mismatch
Raised &h80020003& ' expect: 438 Object doesn't support this property or method
Raised &h8002000B& ' expect: 9 Subscript out of range
Raised &h8002000E& ' expect: 450 Wrong number of arguments or invalid property assignment
Raised &h10000& ' expect: 5 Invalid procedure call or argument
Err.Clear
Err.Raise vbObjectError + 513
WScript.Echo Err.Number - vbObjectError ' expect: 513
' HelpFile and HelpContext are kept; a later Raise with only a number keeps what Err holds.
Err.Clear
Err.Raise 1000, "Src", "First text", "help.chm", 42
WScript.Echo Err.Number, Err.Source, Err.Description, Err.HelpFile, Err.HelpContext ' expect: 1000 Src First text help.chm 42
Err.Raise 1001
WScript.Echo Err.Number, Err.Source, Err.Description, Err.HelpFile, Err.HelpContext ' expect: 1001 Src First text help.chm 42
Err.Raise 1002, , "Second text"
WScript.Echo Err.Number, Err.Source, Err.Description, Err.HelpContext ' expect: 1002 Src Second text 42
Err.Clear
Err.Raise 32000
WScript.Echo Err.Number, Err.Source, Err.Description, "[" & Err.HelpFile & "]", Err.HelpContext ' expect: 32000 VBScript runtime error Unknown runtime error [] 0
' Errors about a named item: the description is the plain text.
Err.Clear
Dim undefinedValue : undefinedValue = NoSuchFunction(1)
WScript.Echo Err.Number, Err.Description ' expect: 13 Type mismatch
Err.Clear
Dim dict : Set dict = CreateObject("Scripting.Dictionary")
dict.NoSuchMember
WScript.Echo Err.Number, Err.Description ' expect: 438 Object doesn't support this property or method
Err.Clear
Sub TakesOne(a) : End Sub
TakesOne 1, 2
WScript.Echo Err.Number, Err.Description ' expect: 450 Wrong number of arguments or invalid property assignment
Err.Clear
WScript.Echo Err.Source ' expect:
x = 1 / 0
WScript.Echo Err.Source ' expect: VBScript runtime error
