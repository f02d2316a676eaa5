// The text form of one root key's store file. Line based, UTF-8, one record a line:
//
//   quazel-registry 1
//   key<TAB>Software\Example
//   value<TAB>Name<TAB>sz<TAB>text
//   value<TAB><TAB>dword<TAB>42            (the key's default value has the empty name)
//   value<TAB>Data<TAB>binary<TAB>0aff
//
// Value records belong to the key record above them. In names and texts, "%" and control
// characters are written as %XX and a UTF-16 unit that UTF-8 cannot carry (an unpaired
// surrogate) as %uXXXX, so every script string survives the round trip.
#pragma once
#include <string>
#include <string_view>

#include "services/registry/registry_hive.h"

namespace qz {

std::string format_reg_hive(const RegHive& hive);

// Parses a store file; false with a reason (naming the line) when any line is malformed.
bool parse_reg_hive(std::string_view bytes, RegHive& out, std::string& error);

}  // namespace qz
