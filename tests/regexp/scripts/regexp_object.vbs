' The RegExp object as scripts use it: settings, Test, Execute, Replace, results.
Dim re : Set re = New RegExp
WScript.Echo TypeName(re), re.Pattern = "", re.Global, re.IgnoreCase, re.MultiLine ' expect: IRegExp2 -1 0 0 0
re.Pattern = "(\w+)@(\w+)(\.com)?"
re.Global = True
Dim ms : Set ms = re.Execute("mail a@b or c@d.com")
WScript.Echo ms.Count, TypeName(ms), TypeName(ms(0)), TypeName(ms(0).SubMatches) ' expect: 2 IMatchCollection2 IMatch2 ISubMatches
Dim m
For Each m In ms
  WScript.Echo m.FirstIndex, m.Length, m, m.SubMatches.Count, m.SubMatches(0), IsEmpty(m.SubMatches(2))
Next
' expect: 5 3 a@b 3 a -1
' expect: 12 7 c@d.com 3 c 0
Dim s, parts : parts = ""
For Each s In ms(1).SubMatches
  parts = parts & "[" & s & "]"
Next
WScript.Echo parts ' expect: [c][d][.com]
WScript.Echo re.Replace("a@b c@d", "$2@$1 ($&)") ' expect: b@a (a@b) d@c (c@d)
re.Global = False
WScript.Echo re.Replace("a@b c@d", "<$`|$'>") ' expect: <| c@d> c@d
WScript.Echo re.Test("no mail here"), re.Test("x@y") ' expect: 0 -1

' Case folding covers Cyrillic; \w stays ASCII.
re.IgnoreCase = True
re.Global = True
re.Pattern = "мир"
WScript.Echo re.Replace("Мир, МИР, мир", "*") ' expect: *, *, *
re.Pattern = "\w+"
WScript.Echo re.Execute("abc где_x").Count ' expect: 2

' MultiLine anchors at LF and CR; without it only the text ends count.
re.Pattern = "^\d"
WScript.Echo re.Execute("1" & vbCrLf & "2" & vbLf & "3").Count ' expect: 1
re.MultiLine = True
WScript.Echo re.Execute("1" & vbCrLf & "2" & vbLf & "3").Count ' expect: 3

' Empty matches advance by one.
re.MultiLine = False
re.Pattern = "x*"
WScript.Echo re.Replace("abc", "-") ' expect: -a-b-c-

' CreateObject gives the same object.
Dim r2 : Set r2 = CreateObject("VBScript.RegExp")
r2.Pattern = "b"
WScript.Echo TypeName(r2), r2.Test("abc") ' expect: IRegExp2 -1

' A bad pattern raises when it is used.
On Error Resume Next
r2.Pattern = "[a"
r2.Test "x"
WScript.Echo Err.Number, Err.Description ' expect: 5019 Expected ']' in regular expression
Err.Clear
Set ms = re.Execute("abc")
Dim item : Set item = ms(99)
WScript.Echo Err.Number ' expect: 5
