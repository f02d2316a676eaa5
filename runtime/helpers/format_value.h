// The platform's Format function for numbers, dates and text, English (United States): the
// named formats ("General Number", "Currency", "Fixed", "Standard", "Percent", "Scientific",
// "Yes/No", "True/False", "On/Off", "General Date", "Long Date", "Medium Date", "Short Date",
// "Long Time", "Medium Time", "Short Time") and user-defined formats of up to four sections
// (positive; negative; zero; Null for numbers and dates, text; empty for text).
//
// Text that reads as a number or a date is formatted as one, so Format("5", "000") is "005";
// other text goes through text sections only and comes back unchanged otherwise.
#pragma once
#include <string_view>

#include "com/str.h"
#include "com/variant.h"

namespace qz {

// first_day_of_week: 1 = Sunday ... 7 = Saturday; first_week_of_year: 1 = the week of
// January 1, 2 = the first week of four days, 3 = the first full week.
// Raises 13 for arrays, 6 for a number outside the date range in a date format.
Str format_value(const Variant& value, std::u16string_view format, int first_day_of_week = 1,
                 int first_week_of_year = 1);

}  // namespace qz
