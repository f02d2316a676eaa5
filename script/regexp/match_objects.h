// The results of RegExp.Execute as script objects: the match collection, each match and its
// submatches. They share one immutable list of matches.
#pragma once
#include <memory>
#include <vector>

#include "com/object.h"
#include "script/regexp/regex.h"

namespace qz {

using MatchList = std::shared_ptr<const std::vector<RegexMatch>>;

// TypeName "IMatchCollection2": Count, Item (default), For Each.
Ref<Object> new_match_collection(MatchList matches);

}  // namespace qz
