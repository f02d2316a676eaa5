// Byte buffers as scripts hold them: a zero-based array of Byte, or of Variants each holding a
// value from 0 to 255. These helpers turn such an array into bytes and back.
#pragma once
#include <string>
#include <string_view>

#include "com/variant.h"

namespace qz {

// The elements with indexes 0 to the upper bound of the first dimension, each converted to a
// byte; an element that is missing (below the lower bound) or does not convert (an object,
// text that is not a number, 300) gives 0. Anything that is not an array gives no bytes.
std::string bytes_of_array(const Variant& array);

// A zero-based array of Variants, each holding one byte with the Byte subtype.
Variant variant_byte_array(std::string_view bytes);

}  // namespace qz
