// Value helpers of sys that VBScript lacks: the inline conditional, the numeric reading of
// text and the text sort of an array.
#pragma once
#include <functional>
#include <string_view>

#include "com/variant.h"

namespace qz {

// IIF: a text condition is script source, evaluated by `evaluate`; any other value counts by
// its truth value. When the condition cannot be evaluated or converted, `if_true` wins.
Variant inline_if(const Variant& condition, const Variant& if_true, const Variant& if_false,
                  const std::function<Variant(std::u16string_view)>& evaluate);

// The number at the start of a text: blanks, tabs and line feeds anywhere are ignored; a sign,
// digits, one "." and an exponent (E, sign, digits), or &H / &O integers; reading stops at
// the first character that cannot continue the number; no number gives 0.
double leading_number(std::u16string_view text);

// Sorts elements 0 to the upper bound of a one-dimensional array as text, ascending, without
// regard to case (the string sort of services/conv: short arrays keep equal texts in order),
// and stores the texts back. Raises 13 for a value that is not an array, 9 for
// more than one dimension or a lower bound above 0, and the conversion's error for an element
// that cannot become text.
void sort_array_as_text(Variant& array);

}  // namespace qz
