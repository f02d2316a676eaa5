// The byte images that typed binary reads and writes use for one script value: numbers
// little-endian in their own width (Byte 1, Integer and Boolean 2, Long and Single 4, Double
// and Currency 8), text one byte per character in the ANSI page, and a one-dimensional array
// of Bytes or Variants one byte per element from index 0 to its upper bound.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "com/variant.h"

namespace qz {

// How many bytes a value of this kind takes; nullopt for kinds that are neither read nor
// written (Empty, Null, Date, objects, arrays of several dimensions or of other element types).
std::optional<size_t> typed_image_size(const Variant& value);
// The bytes that a write of `value` puts into the file (its size is typed_image_size).
std::string typed_image(const Variant& value);
// Stores the bytes that a read gives into `target`, keeping its kind; array elements that do
// not exist (a lower bound above 0) are left out.
void store_typed_image(Variant& target, std::string_view bytes);

}  // namespace qz
