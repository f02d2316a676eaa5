' Procedures run as compiled code: each is called more than once, so the first call (which
' binds names) and the later ones (which use what was bound) are both seen.

Function Twice(ByRef x) : x = x * 2 : Twice = x : End Function
Function Pair(ByVal a, ByVal b) : Pair = a & "," & b : End Function
Function PairRef(a, b) : PairRef = a & "," & b : End Function

' A local named as an argument is read when the call is made; a parenthesised one is a value
' taken where it stands.
Function Order(kind)
  Dim v : v = 1
  Select Case kind
    Case 1 : Order = Pair(v, Twice(v))
    Case 2 : Order = Pair((v), Twice(v))
    Case 3 : Order = PairRef(v, Twice(v))
    Case 4 : Order = Pair(v + 0, Twice(v))
  End Select
End Function
WScript.Echo Order(1) & " " & Order(1)   ' expect: 2,2 2,2
WScript.Echo Order(2) & " " & Order(2)   ' expect: 1,2 1,2
WScript.Echo Order(3) & " " & Order(3)   ' expect: 2,2 2,2
WScript.Echo Order(4) & " " & Order(4)   ' expect: 1,2 1,2

' ByRef parameters write through to the caller's local, ByVal ones do not, also when the
' caller's local is itself a ByRef parameter; Inc(n) as a statement passes a copy.
Sub Inc(ByRef n) : n = n + 1 : End Sub
Function IncOf(ByVal n) : n = n + 1 : IncOf = n : End Function
Sub Chain(ByRef n) : Inc n : Inc(n) : n = IncOf(n) + Twice(n) * 0 : End Sub
Function RefRules()
  Dim a, b : a = 1 : b = 1
  Inc a : Call Inc(a)
  b = IncOf(b)
  Chain b
  RefRules = a & " " & b
End Function
WScript.Echo RefRules() & " " & RefRules()   ' expect: 3 4 3 4

' Exit Do leaves the innermost Do, also from inside statements run as a whole (For, Select).
Function Exits(limit)
  Dim i, j, log
  i = 0
  Do
    i = i + 1
    For j = 1 To 3
      If j = 2 Then Exit For
      log = log & i & j & " "
    Next
    Select Case i
      Case limit : Exit Do
    End Select
  Loop While i < 10
  Do Until False
    Exit Do
  Loop
  Exits = log & "end " & i
End Function
WScript.Echo Exits(2)   ' expect: 11 21 end 2
WScript.Echo Exits(3)   ' expect: 11 21 31 end 3

' Exit Function and Exit Sub from nested blocks keep the result set so far.
Function Early(n)
  Early = "start"
  Do While True
    If n > 0 Then
      Early = "positive"
      Exit Function
    ElseIf n < 0 Then
      Exit Do
    End If
    Early = "zero"
    Exit Function
  Loop
  Early = "negative"
End Function
WScript.Echo Early(1) & " " & Early(-1) & " " & Early(0) & " " & Early(5)   ' expect: positive negative zero positive

' Recursion, mixed number types and the Integer to Long to Double widening of results.
Function Fib(n)
  If n < 2 Then
    Fib = n
  Else
    Fib = Fib(n - 1) + Fib(n - 2)
  End If
End Function
Function Grow(x, times)
  If times = 0 Then Grow = x Else Grow = Grow(x * 2, times - 1)
End Function
WScript.Echo Fib(20) & " " & TypeName(Fib(5)) & " " & Fib(10.5)   ' expect: 6765 Integer 99.5
WScript.Echo TypeName(Grow(1, 14)) & " " & TypeName(Grow(1, 15)) & " " & TypeName(Grow(1, 31)) & " " & Grow(1, 31)   ' expect: Integer Long Double 2147483648

' Left-out arguments arrive as Missing; a wrong count raises 450 each time.
Function Parts(a, b, c) : Parts = a & "/" & IsEmpty(b) & "/" & VarType(b) & "/" & c : End Function
WScript.Echo Parts(1, , 3) & " " & Parts(1, , 3)   ' expect: 1/False/10/3 1/False/10/3
Function CountCall()
  On Error Resume Next
  Dim r
  r = Parts(1, 2)
  CountCall = Err.Number
End Function
WScript.Echo CountCall() & " " & CountCall()   ' expect: 450 450

' A procedure replaced by ExecuteGlobal is the one called next time, even from a site that
' bound the old one.
Function Version() : Version = "old" : End Function
Function Ask() : Ask = Version() : End Function
WScript.Echo Ask()   ' expect: old
ExecuteGlobal "Function Version() : Version = ""new"" : End Function"
WScript.Echo Ask()   ' expect: new

' A local that Execute makes hides the procedure of the same name.
Function Hidden()
  Hidden = Version()
  Execute "Dim Version : Version = ""local"""
  Hidden = Hidden & " " & Version
End Function
WScript.Echo Hidden() & " | " & Hidden()   ' expect: new local | new local

' Objects held for a moment while a statement runs are released when the statement is done,
' not when the procedure ends.
Class Noisy
  Public Name
  Public Function Value() : Value = Len(Name) : End Function
  Private Sub Class_Terminate() : WScript.Echo "gone " & Name : End Sub
End Class
Function Make(name) : Set Make = New Noisy : Make.Name = name : End Function
Function Brief()
  Dim n
  n = Make("a").Value() + 1
  WScript.Echo "after a"
  If Make("bb").Value() = 2 Then WScript.Echo "after bb"
  Brief = n
End Function
WScript.Echo Brief()
' expect: gone a
' expect: after a
' expect: gone bb
' expect: after bb
' expect: 2

' Comparisons in conditions follow the value rules: Null passes no test, a literal number
' against a string compares as numbers (and a string that is no number is a type mismatch).
Function Conds(v)
  If v = 1 Then
    Conds = "one"
  ElseIf v <> 1 Then
    Conds = "other"
  Else
    Conds = "null"
  End If
End Function
WScript.Echo Conds(1) & " " & Conds("1") & " " & Conds(2) & " " & Conds(Null)   ' expect: one one other null
Function CondError()
  On Error Resume Next
  Dim r : r = Conds("x")
  CondError = Err.Number & IsEmpty(r)
End Function
WScript.Echo CondError() & " " & CondError()   ' expect: 13True 13True

' Loops with a test at the top or the bottom.
Function Loops()
  Dim i, s
  i = 0 : Do While i < 3 : i = i + 1 : s = s & i : Loop
  Do : i = i - 1 : s = s & i : Loop Until i <= 0
  Do Until i = 2 : i = i + 1 : Loop
  Do : i = i + 10 : Loop While i < 5
  Loops = s & " " & i
End Function
WScript.Echo Loops() & " " & Loops()   ' expect: 123210 12 123210 12

' Subscripted names: array elements of locals, fields and module variables; what is no array
' (a function, an object's default member) evaluates its argument once.
Dim calls, grid()
Function Key() : calls = calls + 1 : Key = 2 : End Function
Function Lookup(k) : Lookup = "v" & k : End Function
Function Stretch(i) : ReDim Preserve grid(5) : grid(5) = "grown" : Stretch = i : End Function
Class Table
  Private cells
  Private Sub Class_Initialize() : cells = Array("a", "b", "c") : End Sub
  Public Function Swap(i, v) : Swap = cells(i) : cells(i) = v : End Function
End Class
Function Elements()
  Dim local(2), d, t, r
  calls = 0
  r = Lookup(Key) & Lookup(Key())
  r = r & " " & calls
  local(Key) = "k" : local(0) = local(Key) & "!"
  r = r & " " & local(0) & local(2) & " " & calls
  Set d = CreateObject("Scripting.Dictionary")
  d(Key) = "dict" : r = r & " " & d(Key) & " " & calls
  ReDim grid(1) : grid(0) = "g"
  grid(Stretch(1)) = "one"
  r = r & " " & grid(0) & grid(1) & grid(5) & UBound(grid)
  Set t = New Table
  r = r & " " & t.Swap(1, "B") & t.Swap(1, "x")
  Elements = r
End Function
WScript.Echo Elements()   ' expect: v2v2 2 k!k 4 dict 6 gonegrown5 bB
WScript.Echo Elements()   ' expect: v2v2 2 k!k 4 dict 6 gonegrown5 bB

' A function called as a statement drops its result at once; a name that is no procedure is
' called as a statement calls it (a variable holding an object runs its default member).
Class Tracer
  Public Tag
  Public Default Function Run() : WScript.Echo "run " & Tag : End Function
  Private Sub Class_Terminate() : WScript.Echo "end " & Tag : End Sub
End Class
Function NewTracer(tag) : Set NewTracer = New Tracer : NewTracer.Tag = tag : End Function
Dim shared
Sub Statements()
  NewTracer "dropped"
  WScript.Echo "next"
  Set shared = NewTracer("kept")
  shared
  Call NewTracer("called")
  WScript.Echo "done"
End Sub
Statements
' expect: end dropped
' expect: next
' expect: run kept
' expect: end called
' expect: done

' Whole-number operators on values in locals: the result's type widens Integer -> Long ->
' Double as the value needs; \ and Mod truncate toward zero; their errors reach the caller.
Function IntOps(a, b)
  Dim r
  r = TypeName(a + b) & ":" & (a + b)
  r = r & " " & TypeName(a - b) & ":" & (a - b)
  r = r & " " & TypeName(a * b) & ":" & (a * b)
  r = r & " " & TypeName(a \ b) & ":" & (a \ b)
  IntOps = r & " " & TypeName(a Mod b) & ":" & (a Mod b)
End Function
WScript.Echo IntOps(-7, 2)   ' expect: Integer:-5 Integer:-9 Integer:-14 Integer:-3 Integer:-1
WScript.Echo IntOps(32767, 1)   ' expect: Long:32768 Integer:32766 Integer:32767 Integer:32767 Integer:0
WScript.Echo IntOps(CLng(7), -3)   ' expect: Long:4 Long:10 Long:-21 Long:-2 Long:1
WScript.Echo IntOps(2147483647, 2)   ' expect: Double:2147483649 Long:2147483645 Double:4294967294 Long:1073741823 Long:1
Function Quot(a, b) : Quot = a \ b : End Function
Function Remainder(a, b) : Remainder = a Mod b : End Function
Function OpErrors()
  Dim r, x, low
  low = CLng(-2147483647) - 1
  On Error Resume Next
  r = Quot(5, 0) : r = Err.Number : Err.Clear
  x = Remainder(5, 0) : r = r & " " & Err.Number : Err.Clear
  x = Quot(low, -1) : r = r & " " & Err.Number : Err.Clear
  OpErrors = r & " " & Quot(low, 1) & " " & Remainder(low, -1)
End Function
WScript.Echo OpErrors() & " | " & OpErrors()   ' expect: 11 11 6 -2147483648 0 | 11 11 6 -2147483648 0

' A bare name as a statement calls the procedure it names, also one ExecuteGlobal replaced
' later; one that wants arguments raises 450 each time; a built-in one runs.
Dim bareCount : bareCount = 0
Sub Bump : bareCount = bareCount + 1 : End Sub
Sub NeedsOne(x) : End Sub
Sub Bare() : Bump : Bump : Randomize : End Sub
Sub CallsNeedsOne() : NeedsOne : End Sub
Function Caught()
  On Error Resume Next
  CallsNeedsOne
  Caught = Err.Number
End Function
Bare : Bare
WScript.Echo bareCount & " " & Caught() & " " & Caught()   ' expect: 4 450 450
ExecuteGlobal "Sub Bump : bareCount = bareCount + 10 : End Sub"
Bare
WScript.Echo bareCount   ' expect: 24

' Members of script class instances held in locals: methods with literal and local arguments
' (ByRef writes through), Property Get and Let, public fields; a private member, a wrong count
' and Nothing raise the member errors; a method that drops the last reference to its instance
' finishes first (also once the site has bound the module variable); a method and a Property Let with On Error are called too.
Dim lastHolder
Class Counter
  Public Total
  Private hidden
  Private Sub Class_Initialize() : Total = 0 : End Sub
  Private Sub Class_Terminate() : WScript.Echo "counter gone" : End Sub
  Public Sub Add(n) : Total = Total + n : End Sub
  Public Function Swap(ByRef a, ByVal b) : Swap = a : a = b : b = 0 : End Function
  Public Property Get Twice() : Twice = Total * 2 : End Property
  Public Property Let Twice(v) : Total = v / 2 : End Property
  Public Sub Drop() : Set lastHolder = Nothing : WScript.Echo "dropped " & Total : End Sub
  Public Function Careful(x) : On Error Resume Next : Careful = 1 / x : End Function
  Public Property Let Guarded(v) : On Error Resume Next : Total = 10 / v : End Property
End Class
Function Members()
  Dim c, a, b, r
  Set c = New Counter
  c.Add 5 : c.Add 2
  a = "x" : b = "y"
  r = c.Total & " " & c.Swap(a, b) & a & b & " " & c.Twice
  c.Twice = 20
  c.Total = c.Total + 1
  r = r & " " & c.Total & " " & c.Careful(4) & IsEmpty(c.Careful(0))
  c.Guarded = 5
  r = r & " " & c.Total
  On Error Resume Next
  c.hidden = 1 : r = r & " " & Err.Number : Err.Clear
  c.Add : r = r & " " & Err.Number : Err.Clear
  Set c = Nothing
  c.Add 1 : r = r & " " & Err.Number : Err.Clear
  Members = r
End Function
WScript.Echo Members()
' expect: counter gone
' expect: 7 xyy 14 11 0.25True 2 438 450 424
Sub DropWhileRunning()
  Dim c
  Set lastHolder = New Counter
  Set c = lastHolder
  Set c = Nothing
  lastHolder.Drop
  WScript.Echo "after drop"
End Sub
DropWhileRunning : DropWhileRunning
' expect: dropped 0
' expect: counter gone
' expect: after drop
' expect: dropped 0
' expect: counter gone
' expect: after drop

' Inside a class, its own methods and properties named alone: calls with literal and local
' arguments (ByRef writes through), a private helper, a Property Get read bare, recursion, a
' property whose result takes the arguments, and a wrong count (450, through the caller's
' On Error).
Class Walker
  Private steps
  Private Sub Class_Initialize() : steps = 0 : End Sub
  Private Sub Stride(ByRef n, times) : steps = steps + times : n = n + times : End Sub
  Public Property Get Count() : Count = steps : End Property
  Public Property Get Letters() : Letters = Array("a", "b", "c") : End Property
  Public Function Depth(n) : If n = 0 Then Depth = 0 Else Depth = 1 + Depth(n - 1) : End Function
  Public Function Run()
    Dim k : k = 10
    Stride k, 2
    Call Stride(k, 3)
    Run = k & " " & Count & " " & Count() & " " & Depth(5) & " " & Letters(1)
  End Function
  Public Function BadDepth() : BadDepth = Depth() : End Function
  Public Function Miscount()
    On Error Resume Next
    Miscount = "x"
    Miscount = BadDepth()
    Miscount = Miscount & Err.Number
  End Function
End Class
Function Walk()
  Dim w : Set w = New Walker
  Walk = w.Run() & " | " & w.Run() & " | " & w.Miscount()
End Function
WScript.Echo Walk()   ' expect: 15 5 5 5 b | 15 10 10 5 b | x450

' Built-in functions: arguments are values taken in order, the counts and uses checked as the
' language does, and a script's own function of the same name wins.
Function Shorten(ByRef s) : s = Left(s, 1) : Shorten = 1 : End Function
Function BuiltinRules()
  Dim s, r
  s = "abc"
  r = Mid(s, Shorten(s)) & "|" & s
  On Error Resume Next
  r = r & "|" & Len()
  r = r & Err.Number : Err.Clear
  CInt 1
  r = r & "|" & Err.Number : Err.Clear
  r = r & "|" & Randomize(0)
  r = r & Err.Number : Err.Clear
  r = r & "|" & InStr(1, "xay", "a") & "|" & Replace("aXa", "x", "-", 1, -1, vbTextCompare)
  BuiltinRules = r
End Function
WScript.Echo BuiltinRules()   ' expect: abc|a450|45813|2|a-a
WScript.Echo BuiltinRules()   ' expect: abc|a450|45813|2|a-a
' Exit For and Exit Do from inside statements the tree runs (Select, For Each) leave the right
' loop; For loops stepping down, by fractions, and with a body that changes the counter.
Function ExitsThrough()
  Dim i, j, log, x
  For i = 1 To 5
    Select Case i
      Case 3 : Exit For
    End Select
    log = log & i
  Next
  log = log & "|" & i
  Do
    For Each x In Array(1, 2, 3)
      If x = 2 Then Exit Do
      log = log & x
    Next
    log = log & "never"
  Loop
  For i = 1 To 3
    For Each x In Array("a", "b")
      If i = 2 Then Exit For
      log = log & x
    Next
    log = log & i
  Next
  For i = 10 To 1 Step -3 : log = log & "," & i : Next
  For i = 1 To 2.5 Step 0.5 : log = log & ";" & i : Next
  For j = 1 To 3 : j = j + 1 : log = log & "~" & j : Next
  ExitsThrough = log
End Function
WScript.Echo ExitsThrough()   ' expect: 12|31ab12ab3,10,7,4,1;1;1.5;2;2.5~2~4
WScript.Echo ExitsThrough()   ' expect: 12|31ab12ab3,10,7,4,1;1;1.5;2;2.5~2~4

' The object kept in a module variable goes when the script ends.
' expect: end kept
