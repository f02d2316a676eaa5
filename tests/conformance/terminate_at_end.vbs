' Objects still held by script-level variables are released when the script ends, and their
' Class_Terminate runs then (WScript still usable).
Class Tracer
  Public Name
  Private Sub Class_Terminate() : WScript.Echo "bye " & Name : End Sub
End Class
Dim keep : Set keep = New Tracer : keep.Name = "global"
WScript.Echo "end of script"   ' expect: end of script
' expect: bye global
