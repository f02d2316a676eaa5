// Facts about the machine that sys.WinInfo reports, in Linux terms: the folders that stand for
// the platform's system and windows folders, the temporary folder, user, host and processor.
#pragma once
#include <string>
#include <string_view>

namespace qz {

// The value for one WinInfo key (already lower-cased); empty for an unknown key or a failure.
std::u16string system_info(std::u16string_view key);

}  // namespace qz
