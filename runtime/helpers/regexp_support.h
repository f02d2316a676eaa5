// What the =~ operator and its match references run on: replace, test and execute with the
// flags the translator passes, and the engine-wide set of matches of the last call, which
// $n references read. An invalid pattern raises error 5017 from every call and leaves the
// last match set as it was, so `x = sys.rxp_rpl(x, ...)` never wipes x.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "com/object.h"

namespace qz {

struct RegexpFlags {
  bool ignore_case = false;
  bool global = false;
};

std::u16string rxp_replace(std::u16string_view text, std::u16string_view pattern,
                           std::u16string_view replacement, RegexpFlags flags);
bool rxp_compare(std::u16string_view text, std::u16string_view pattern, RegexpFlags flags);
// The match collection, also kept as the last match set.
Ref<Object> rxp_execute(std::u16string_view text, std::u16string_view pattern, RegexpFlags flags);

// The last match set as a match collection; Nothing before the first call.
Variant rxp_last_match_set();
// Group `group` (1-based; 0 reads the first too) of match `match` (0-based) of the last match
// set; empty text when there is no such set, match or group.
std::u16string rxp_param(int32_t group, int32_t match);
// Forgets the last match set (a new run starts).
void rxp_reset();

}  // namespace qz
