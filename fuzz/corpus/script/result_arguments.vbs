' Arguments given to a property or function that has no parameters apply to its result: the
' default member of the object it returns, or the elements of the array it returns.
Class Holder
  Private d
  Private Sub Class_Initialize
    Set d = CreateObject("Scripting.Dictionary")
    d("k") = "v" : d(1) = "one"
  End Sub
  Public Property Get Items : Set Items = d : End Property
  Public Function Letters() : Letters = Array("a", "b") : End Function
  Public Property Get Num : Num = 5 : End Property
  Public Function Pick(i) : Pick = "pick" & i : End Function
End Class
Dim x : Set x = New Holder
WScript.Echo x.Items("k"), x.Items(1), x.Items.Count        ' expect: v one 2
WScript.Echo x.Letters(1), x.Letters()(0), x.Pick(3)        ' expect: b a pick3
x.Items("new") = "added"
WScript.Echo x.Items("new"), x.Items.Count                  ' expect: added 3
On Error Resume Next
Dim y : y = x.Num(1)
WScript.Echo Err.Number                                     ' expect: 450
Err.Clear
y = x.Letters(7)
WScript.Echo Err.Number                                     ' expect: 9
Err.Clear
On Error GoTo 0
' Arrays held in array elements: read and written through both subscripts.
Dim jag(1)
jag(0) = Array(1, 2, 3)
jag(1) = Array(4, Array(5, 6))
jag(0)(1) = 20
jag(1)(1)(0) = 50
WScript.Echo jag(0)(1), jag(1)(1)(0), jag(1)(1)(1), UBound(jag(1)(1)) ' expect: 20 50 6 1
' The inner array is the element's own: a copy taken before keeps its values.
Dim before : before = jag(0)
jag(0)(0) = "changed"
WScript.Echo before(0), jag(0)(0)                           ' expect: 1 changed
' An object in an array element takes the assignment through its default member.
Dim holders(0) : Set holders(0) = CreateObject("Scripting.Dictionary")
holders(0)("key") = "through"
WScript.Echo holders(0)("key")                              ' expect: through
' Index expressions run once.
Dim calls : calls = 0
Function Idx() : calls = calls + 1 : Idx = 1 : End Function
jag(0)(Idx()) = "once"
WScript.Echo jag(0)(1), calls                               ' expect: once 1
On Error Resume Next
jag(0)(9) = 1
WScript.Echo Err.Number                                     ' expect: 9
Err.Clear
Dim plain : plain = 5
plain(0)(1) = 2
WScript.Echo Err.Number                                     ' expect: 13
