' GetLocale and SetLocale as scripts use them: save the id, switch, restore.
Dim saved
saved = GetLocale()
WScript.Echo saved, TypeName(saved)                    ' expect: 1033 Long
WScript.Echo SetLocale("en-gb"), GetLocale             ' expect: 1033 2057
WScript.Echo SetLocale(1049), SetLocale(saved), GetLocale ' expect: 2057 1049 1033
' Ids as text or hex, 0 for the machine's own locale, no argument for the default.
WScript.Echo SetLocale("1031"), SetLocale(&H0409), SetLocale(0), SetLocale, GetLocale ' expect: 1033 1031 1033 1033 1033
WScript.Echo SetLocale(" RU "), GetLocale              ' expect: 1033 1049
Call SetLocale(saved)
' An unknown name or id is refused and leaves the locale as it was.
On Error Resume Next
saved = SetLocale("xx-nowhere")
WScript.Echo Err.Number, GetLocale                     ' expect: 5 1033
Err.Clear
saved = SetLocale(-5)
WScript.Echo Err.Number, GetLocale                     ' expect: 5 1033
