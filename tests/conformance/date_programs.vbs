' Date arithmetic as scheduling and reporting programs do it.
Dim d, due, i
d = DateSerial(2024, 1, 31)
WScript.Echo d, TypeName(d)                           ' expect: 1/31/2024 Date
WScript.Echo DateAdd("m", 1, d), DateAdd("m", 13, d)  ' expect: 2/29/2024 2/28/2025
WScript.Echo DateAdd("yyyy", 1, #2/29/2024#)          ' expect: 2/28/2025
WScript.Echo DateAdd("d", 1, d), d + 1, TypeName(d + 1) ' expect: 2/1/2024 2/1/2024 Date
WScript.Echo DateAdd("h", 36, d), DateAdd("n", -1, d)  ' expect: 2/1/2024 12:00:00 PM 1/30/2024 11:59:00 PM
WScript.Echo DateAdd("ww", 2, d), DateAdd("q", 1, d), DateAdd("s", 90, d) ' expect: 2/14/2024 4/30/2024 1/31/2024 12:01:30 AM
' DateSerial normalises out-of-range parts.
WScript.Echo DateSerial(2024, 13, 1), DateSerial(2024, 3, 0), DateSerial(2024, 1, -1) ' expect: 1/1/2025 2/29/2024 12/30/2023
WScript.Echo TimeSerial(25, 0, 0), TimeSerial(1, 90, 30) ' expect: 12/31/1899 1:00:00 AM 2:30:30 AM
' DateDiff counts boundaries crossed.
WScript.Echo DateDiff("d", #12/31/2023#, #1/1/2024#), DateDiff("yyyy", #12/31/2023#, #1/1/2024#) ' expect: 1 1
WScript.Echo DateDiff("m", #1/31/2024#, #2/1/2024#), DateDiff("d", #1/10/2024#, #1/1/2024#) ' expect: 1 -9
WScript.Echo DateDiff("h", #1/1/2024 11:59:00 PM#, #1/2/2024 12:01:00 AM#), DateDiff("n", #1/1/2024 10:00#, #1/1/2024 11:30#) ' expect: 1 90
WScript.Echo DateDiff("ww", #1/1/2024#, #1/15/2024#), DateDiff("w", #1/1/2024#, #1/15/2024#) ' expect: 2 2
WScript.Echo DateDiff("s", #1/1/2024#, #1/1/2024 0:01:05#), DateDiff("q", #1/1/2024#, #12/31/2024#) ' expect: 65 3
' Parts of dates.
d = #7/4/2024 3:05:09 PM#
WScript.Echo Year(d), Month(d), Day(d), Hour(d), Minute(d), Second(d) ' expect: 2024 7 4 15 5 9
WScript.Echo Weekday(d), WeekdayName(Weekday(d)), MonthName(Month(d)), MonthName(2, True) ' expect: 5 Thursday July Feb
WScript.Echo Weekday(d, vbMonday), WeekdayName(1, True, vbMonday) ' expect: 4 Mon
WScript.Echo DatePart("y", d), DatePart("q", d), DatePart("ww", d), DatePart("w", d) ' expect: 186 3 27 5
WScript.Echo DateValue(d), TimeValue(d)               ' expect: 7/4/2024 3:05:09 PM
WScript.Echo FormatDateTime(d, vbLongDate), FormatDateTime(d, vbShortDate) ' expect: Thursday, July 4, 2024 7/4/2024
WScript.Echo FormatDateTime(d, vbLongTime), FormatDateTime(d, vbShortTime), FormatDateTime(d) ' expect: 3:05:09 PM 15:05 7/4/2024 3:05:09 PM
' Parsing date strings.
WScript.Echo CDate("2024-03-05"), CDate("March 5, 2024"), CDate("5 Mar 2024 14:30") ' expect: 3/5/2024 3/5/2024 3/5/2024 2:30:00 PM
WScript.Echo IsDate("2/30/2024"), IsDate("12/31/2024"), IsDate("hello"), IsDate(#1/1/2000#) ' expect: 0 -1 0 -1
WScript.Echo DateValue("1/15/2024") - DateValue("12/25/2023") ' expect: 21
' Subtracting dates gives days as a Double; adding numbers keeps a Date.
due = #3/1/2024# - #2/1/2024#
WScript.Echo due, TypeName(due)                       ' expect: 29 Double
WScript.Echo #1/1/2024 6:00 PM# - #1/1/2024 6:00 AM#   ' expect: 0.5
WScript.Echo TypeName(#1/1/2024# + 0.25), #1/1/2024# + 0.25 ' expect: Date 1/1/2024 6:00:00 AM
' A loop over the last day of every month.
Dim out : out = ""
For i = 1 To 12
  out = out & Day(DateSerial(2023, i + 1, 0)) & " "
Next
WScript.Echo out                                      ' expect: 31 28 31 30 31 30 31 31 30 31 30 31
' Dates before 1900 and the zero date.
WScript.Echo DateSerial(1899, 12, 30), CDbl(DateSerial(1899, 12, 30)), CDate("12:00:00") ' expect: 12:00:00 AM 0 12:00:00 PM
WScript.Echo DateSerial(100, 1, 1), DateSerial(99, 1, 1), DateSerial(30, 1, 1) ' expect: 1/1/100 1/1/1999 1/1/1930
WScript.Echo DateAdd("d", -1, #1/1/1900#), #1/1/1800# + 1 ' expect: 12/31/1899 1/2/1800
WScript.Echo CDbl(#12/29/1899 6:00:00 AM#), DateSerial(29, 2, 1) ' expect: -1.25 2/1/2029
