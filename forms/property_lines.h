// The property lines of a script form's Add: "Name=value" assigns a property of the new
// element, "Name value, value" calls a method of it; a leading "~" makes the value (or each
// argument) a script expression, and a value that then starts with "~" is an object reference.
#pragma once
#include <functional>
#include <string_view>

#include "com/object.h"

namespace qz {

// Evaluates a script expression in the script's global scope; raises when it cannot.
using ExpressionEvaluator = std::function<Variant(std::u16string_view)>;

// Applies one line to `element`. Every failure (no match, a member the element lacks, a value
// it refuses, more than ten arguments) leaves the line without effect and raises nothing.
void apply_property_line(Object& element, std::u16string_view line, const ExpressionEvaluator& eval);

}  // namespace qz
