' Dates, numbers and their texts with English (United States) settings.
Dim d
d = DateSerial(2024, 1, 31) + TimeSerial(15, 4, 5)
WScript.Echo d
WScript.Echo DateAdd("m", 1, d)
WScript.Echo DateAdd("d", -31, DateSerial(2024, 3, 1))
WScript.Echo DateDiff("d", #1/1/2024#, #3/1/2024#), DateDiff("m", #1/31/2024#, #2/1/2024#)
WScript.Echo DatePart("ww", #12/31/2024#), DatePart("y", #3/1/2024#), DatePart("q", #8/15/2024#)
WScript.Echo Year(d), Month(d), Day(d), Hour(d), Minute(d), Second(d), Weekday(d)
WScript.Echo MonthName(2), MonthName(2, True), WeekdayName(Weekday(d)), WeekdayName(1, True, vbMonday)
WScript.Echo FormatDateTime(d, vbLongDate)
WScript.Echo FormatDateTime(d, vbShortDate), FormatDateTime(d, vbLongTime), FormatDateTime(d, vbShortTime)
WScript.Echo IsDate("2/30/2024"), IsDate("2/29/2024"), TypeName(DateValue("2/29/2024 10:00"))
WScript.Echo FormatNumber(1234567.891), FormatNumber(0.5, 0), FormatNumber(-0.25, 2, 0)
WScript.Echo FormatCurrency(-1234.5), FormatCurrency(1234.5, 0), FormatPercent(0.256, 1)
WScript.Echo Round(2.5), Round(3.5), Round(1.2345, 2), Int(-1.5), Fix(-1.5)
WScript.Echo Hex(255), Hex(-1), Oct(8), CInt("12") + 1, TypeName(CLng(5))
WScript.Echo Sgn(-3), Abs(-3.5), Sqr(16), IsNumeric("1e3"), IsNumeric("abc")
