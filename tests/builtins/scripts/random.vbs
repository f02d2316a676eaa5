' Rnd without Randomize starts the same sequence in every run.
Dim i, line, x
For i = 1 To 5
  line = line & Rnd & " "
Next
WScript.Echo line
WScript.Echo Rnd(0) = Rnd(0), Rnd(-1), Rnd(-1)
x = Rnd(-5)
Randomize 42
line = Rnd
x = Rnd(-5)
Randomize 42
WScript.Echo line = Rnd, Int(Rnd * 6) + 1 >= 1
WScript.Echo ScriptEngine, ScriptEngineMajorVersion & "." & ScriptEngineMinorVersion
