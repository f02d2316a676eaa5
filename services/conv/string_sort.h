// The string sort behind sys.Sort: an in-place quicksort with a middle-element pivot that hands
// ranges of up to 61 elements to an insertion sort. Insertion-sorted ranges keep equal strings
// in their old order, so short arrays sort stably; the recursion always takes the smaller part,
// so its depth stays logarithmic whatever the input.
#pragma once
#include <vector>

#include "com/str.h"

namespace qz {

enum class SortOrder { Ascending, Descending };
enum class SortCompare {
  Binary,  // code-unit order (byte order for byte strings), case-sensitive
  Text,    // case-insensitive: the language's text comparison
};

// -1, 0 or +1, as StrComp gives them in the given mode.
int compare_for_sort(const Str& x, const Str& y, SortCompare mode);

// Sorts the whole vector in place.
void sort_strings(std::vector<Str>& items, SortOrder order, SortCompare mode);

}  // namespace qz
