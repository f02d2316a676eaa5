' Classes as programs use them: linked lists, trees, collections of objects, lifetimes.
Option Explicit
Class ListNode
  Public Value
  Public NextNode
  Private Sub Class_Initialize() : Set NextNode = Nothing : End Sub
End Class
Class LinkedList
  Private head_, count_
  Private Sub Class_Initialize() : Set head_ = Nothing : count_ = 0 : End Sub
  Public Sub Push(v)
    Dim n : Set n = New ListNode
    n.Value = v
    Set n.NextNode = head_
    Set head_ = n
    count_ = count_ + 1
  End Sub
  Public Property Get Count() : Count = count_ : End Property
  Public Function ToString()
    Dim cur, s
    Set cur = head_
    Do Until cur Is Nothing
      s = s & cur.Value & ">"
      Set cur = cur.NextNode
    Loop
    ToString = s
  End Function
  Public Sub Reverse()
    Dim prev, cur, nxt
    Set prev = Nothing : Set cur = head_
    While Not cur Is Nothing
      Set nxt = cur.NextNode
      Set cur.NextNode = prev
      Set prev = cur
      Set cur = nxt
    Wend
    Set head_ = prev
  End Sub
End Class
Dim l : Set l = New LinkedList
l.Push 1 : l.Push "two" : l.Push 3.5
WScript.Echo l.ToString(), l.Count     ' expect: 3.5>two>1> 3
l.Reverse
WScript.Echo l.ToString()              ' expect: 1>two>3.5>
' A binary tree with recursion through objects.
Class TreeNode
  Public Key, Left, Right
  Public Sub Insert(k)
    If k < Key Then
      If IsEmpty(Left) Then Set Left = MakeNode(k) Else Left.Insert k
    Else
      If IsEmpty(Right) Then Set Right = MakeNode(k) Else Right.Insert k
    End If
  End Sub
  Public Function InOrder()
    If Not IsEmpty(Left) Then InOrder = Left.InOrder()
    InOrder = InOrder & Key & " "
    If Not IsEmpty(Right) Then InOrder = InOrder & Right.InOrder()
  End Function
  Public Function Depth()
    Dim dl, dr : dl = 0 : dr = 0
    If IsObject(Left) Then dl = Left.Depth()
    If IsObject(Right) Then dr = Right.Depth()
    If dl > dr Then Depth = dl + 1 Else Depth = dr + 1
  End Function
End Class
Function MakeNode(k)
  Set MakeNode = New TreeNode
  MakeNode.Key = k
End Function
Dim root, k
Set root = MakeNode(50)
For Each k In Array(30, 70, 20, 40, 60, 80, 35)
  root.Insert k
Next
WScript.Echo root.InOrder()            ' expect: 20 30 35 40 50 60 70 80
WScript.Echo root.Depth()              ' expect: 4
' Property Let / Set / Get with validation, and a default property.
Class Account
  Private balance_, owner_
  Public Default Property Get Balance() : Balance = balance_ : End Property
  Public Property Let Balance(v)
    If Not IsNumeric(v) Then Err.Raise vbObjectError + 1, "Account", "Not a number: " & v
    balance_ = CCur(v)
  End Property
  Public Property Set Owner(o) : Set owner_ = o : End Property
  Public Property Get Owner() : Set Owner = owner_ : End Property
  Public Function Deposit(amount) : balance_ = balance_ + CCur(amount) : Set Deposit = Me : End Function
End Class
Dim acct : Set acct = New Account
acct.Balance = "10.5"
acct.Deposit(4.5).Deposit 1
WScript.Echo acct.Balance, acct, TypeName(acct.Balance) ' expect: 16 16 Currency
WScript.Echo acct + 1, "$" & acct  ' expect: 17 $16
Set acct.Owner = l
WScript.Echo acct.Owner.Count          ' expect: 3
On Error Resume Next
acct.Balance = "abc"
WScript.Echo Err.Number - vbObjectError, Err.Source, Err.Description ' expect: 1 Account Not a number: abc
Err.Clear
On Error GoTo 0
' Class_Terminate order: objects die when the last reference goes.
Class Tracer
  Public Name
  Public Child
  Private Sub Class_Terminate() : WScript.Echo "bye " & Name : End Sub
End Class
Sub MakeTemp()
  Dim t : Set t = New Tracer
  t.Name = "temp"
  WScript.Echo "in sub"
End Sub
MakeTemp
' expect: in sub
' expect: bye temp
Dim p : Set p = New Tracer : p.Name = "parent"
Set p.Child = New Tracer : p.Child.Name = "child"
Set p = Nothing
' expect: bye parent
' expect: bye child
Dim t1 : Set t1 = New Tracer : t1.Name = "reassigned"
Set t1 = New Tracer
' expect: bye reassigned
t1.Name = "last"
' Objects inside a Dictionary stay alive while the Dictionary holds them.
Dim reg : Set reg = CreateObject("Scripting.Dictionary")
reg.Add "a", New Tracer
reg("a").Name = "held"
WScript.Echo "before remove"           ' expect: before remove
reg.Remove "a"
' expect: bye held
WScript.Echo "after remove"            ' expect: after remove
' Is and Nothing comparisons.
Dim x1, x2 : Set x1 = New ListNode : Set x2 = x1
WScript.Echo x1 Is x2, x1 Is New ListNode, Nothing Is Nothing ' expect: -1 0 -1
WScript.Echo TypeName(Nothing), IsObject(Nothing), VarType(Nothing) ' expect: Nothing -1 9
' Me passed out of a method, With blocks on objects.
Class Point
  Public X, Y
  Public Function Init(ax, ay) : X = ax : Y = ay : Set Init = Me : End Function
  Public Function ToString() : ToString = "(" & X & "," & Y & ")" : End Function
End Class
Dim pt : Set pt = (New Point).Init(1, 2)
With pt
  .X = .X + 10
  WScript.Echo .ToString()             ' expect: (11,2)
End With
' Calling an undefined member raises 438.
On Error Resume Next
pt.Z = 1
WScript.Echo Err.Number ' expect: 438
Err.Clear
' The last Tracer still held at the end of the script goes when the run ends.
' expect: bye last
