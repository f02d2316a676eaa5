' Text processing with RegExp: log parsing, templating, tokenising, validation.
Option Explicit
Dim re, m, ms, out, log
Set re = New RegExp
' Parse log lines with MultiLine anchors.
log = "2024-01-05 ERROR disk full" & vbCrLf & "2024-01-05 INFO started" & vbLf & "2024-01-06 ERROR net down"
re.Pattern = "^(\d{4})-(\d\d)-(\d\d) ERROR (.*)$"
re.Global = True : re.MultiLine = True
Set ms = re.Execute(log)
WScript.Echo ms.Count                                   ' expect: 2
For Each m In ms
  WScript.Echo m.SubMatches(2) & "/" & m.SubMatches(1) & ": " & Replace(m.SubMatches(3), vbCr, "<CR>")
Next
' expect: 05/01: disk full<CR>
' expect: 06/01: net down
' Without MultiLine ^ and $ anchor the whole text only.
re.MultiLine = False
WScript.Echo re.Execute(log).Count                      ' expect: 0
' Template substitution with a dictionary.
Dim vars : Set vars = CreateObject("Scripting.Dictionary")
vars("name") = "Ann" : vars("n") = 3
Function Expand(tpl)
  Dim r, mm, res, pos
  Set r = New RegExp
  r.Pattern = "\{(\w+)\}" : r.Global = True
  res = "" : pos = 1
  For Each mm In r.Execute(tpl)
    res = res & Mid(tpl, pos, mm.FirstIndex + 1 - pos) & vars(mm.SubMatches(0))
    pos = mm.FirstIndex + mm.Length + 1
  Next
  Expand = res & Mid(tpl, pos)
End Function
WScript.Echo Expand("Hello {name}, you have {n} new {what}.") ' expect: Hello Ann, you have 3 new .
' Replace with groups, whole match and escaped dollar.
re.Pattern = "(\d+)\.(\d+)"
WScript.Echo re.Replace("v1.2 and v10.20", "$2.$1"), re.Replace("3.5", "$$$&")  ' expect: v2.1 and v20.10 $3.5
' Empty matches advance one position when Global.
re.Pattern = "x*"
WScript.Echo re.Replace("abc", "-")                     ' expect: -a-b-c-
re.Pattern = "\s+"
WScript.Echo re.Replace("  too   many    spaces ", " ") ' expect:  too many spaces
WScript.Echo Join(Split(Trim(re.Replace("a  b   c", " ")), " "), "|") ' expect: a|b|c
' Backreferences, lazy quantifiers, alternation, lookahead.
re.Pattern = "\b(\w+) \1\b"
WScript.Echo re.Replace("the the cat sat sat down", "$1")   ' expect: the cat sat down
re.Pattern = "<.+?>"
WScript.Echo re.Replace("<b>bold</b> text", "")         ' expect: bold text
re.Pattern = "\d+(?=px)"
WScript.Echo re.Replace("10px 20em 30px", "N")          ' expect: Npx 20em Npx
re.Pattern = "^(?:cat|dog)s?$"
re.IgnoreCase = True
WScript.Echo re.Test("Dogs"), re.Test("cats!"), re.Test("CAT") ' expect: -1 0 -1
re.IgnoreCase = False
' Validation patterns.
Function IsEmail(s)
  Dim r : Set r = New RegExp
  r.Pattern = "^[\w.+-]+@[\w-]+(\.[\w-]+)+$"
  IsEmail = r.Test(s)
End Function
WScript.Echo CStr(IsEmail("a.b@c.org")), CStr(IsEmail("bad@host")), CStr(IsEmail("x@y.co.uk")) ' expect: True False True
' Tokenising an arithmetic expression.
re.Pattern = "\d+\.?\d*|[-+*/()]"
out = ""
For Each m In re.Execute("12+3.5*(4-1)")
  out = out & "[" & m.Value & "]"
Next
WScript.Echo out                                        ' expect: [12][+][3.5][*][(][4][-][1][)]
' Non-global Execute returns at most one match; an unmatched group is Empty.
re.Global = False
re.Pattern = "(a)|(b)"
Set ms = re.Execute("b a")
WScript.Echo ms.Count, ms(0).Value, IsEmpty(ms(0).SubMatches(0)), ms(0).SubMatches(1) ' expect: 1 b -1 b
' Dot does not match a line feed; [\s\S] does.
re.Pattern = "a.b"
WScript.Echo re.Test("a" & vbLf & "b"), re.Test("a" & vbCr & "b") ' expect: 0 -1
re.Pattern = "a[\s\S]b"
WScript.Echo re.Test("a" & vbLf & "b")                  ' expect: -1
' Escaping user text before building a pattern.
Function EscapeRe(s)
  Dim r : Set r = New RegExp
  r.Pattern = "([.*+?^${}()|[\]\\/])" : r.Global = True
  EscapeRe = r.Replace(s, "\$1")
End Function
re.Pattern = EscapeRe("1+1=2 (yes)")
WScript.Echo re.Pattern, re.Test("so 1+1=2 (yes)!")     ' expect: 1\+1=2 \(yes\) -1
' A bad pattern raises a RegExp error when it is used.
On Error Resume Next
re.Pattern = "(unclosed"
Dim ok : ok = re.Test("x")
WScript.Echo Err.Number                                 ' expect: 5020
Err.Clear
On Error GoTo 0
' Counting word frequencies.
Dim freq, w, keys, i, j, t
Set freq = CreateObject("Scripting.Dictionary")
re.Pattern = "[a-z']+" : re.Global = True : re.IgnoreCase = True
For Each m In re.Execute("The cat and the hat. THE END, and that's that")
  w = LCase(m.Value)
  freq(w) = freq(w) + 1
Next
keys = freq.Keys
For i = 0 To UBound(keys) - 1
  For j = i + 1 To UBound(keys)
    If freq(keys(j)) > freq(keys(i)) Or (freq(keys(j)) = freq(keys(i)) And keys(j) < keys(i)) Then
      t = keys(i) : keys(i) = keys(j) : keys(j) = t
    End If
  Next
Next
out = ""
For i = 0 To 2 : out = out & keys(i) & "=" & freq(keys(i)) & " " : Next
WScript.Echo out                                        ' expect: the=3 and=2 cat=1
