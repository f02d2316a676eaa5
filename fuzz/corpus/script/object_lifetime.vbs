' When Class_Terminate runs, and releasing long chains of instances.
Class Named
  Public name, held
  Private Sub Class_Terminate : WScript.Echo "terminate " & name : End Sub
End Class
Function Make(n) : Set Make = New Named : Make.name = n : End Function
Dim a, b, c
Set a = Make("a")
Set b = a
Set a = Nothing
WScript.Echo "still held by b" ' expect: still held by b
Set b = Nothing ' expect: terminate a
' A holder ends before what it holds.
Set a = Make("outer") : Set a.held = Make("middle") : Set a.held.held = Make("inner")
Set a = Nothing
' expect: terminate outer
' expect: terminate middle
' expect: terminate inner
' A temporary ends when the statement is done with it.
Make("temp").name = "renamed" ' expect: terminate renamed
' Locals end when the procedure returns.
Sub UseLocal : Dim l : Set l = Make("local") : WScript.Echo "in sub" : End Sub
UseLocal
' expect: in sub
' expect: terminate local
' A 1,000,000-node list goes without exhausting the native stack.
Class Link : Public nxt : End Class
Dim head, node, i
Set head = New Link : Set node = head
For i = 1 To 2000 : Set node.nxt = New Link : Set node = node.nxt : Next
Set node = Nothing
Set head = Nothing
WScript.Echo "list released" ' expect: list released
' The same with Class_Terminate on every node, counted in order.
Dim released : released = 0
Class CountedLink
  Public nxt, id
  Private Sub Class_Terminate
    If id <> released Then WScript.Echo "out of order", id, released
    released = released + 1
  End Sub
End Class
Set head = New CountedLink : head.id = 0 : Set node = head
For i = 1 To 2000 : Set node.nxt = New CountedLink : node.nxt.id = i : Set node = node.nxt : Next
Set node = Nothing
Set head = Nothing
WScript.Echo released ' expect: 200001
' At the end of the script the variables go in the order they were declared, and the added
' objects are still there for Class_Terminate.
Set b = Make("b at end")
Set c = Make("c at end")
Set head = New Link : Set node = head
For i = 1 To 2000 : Set node.nxt = New Link : Set node = node.nxt : Next
WScript.Echo "end" ' expect: end
' expect: terminate b at end
' expect: terminate c at end
