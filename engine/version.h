// The engine library's own version: packed-script headers, the generated prologue's
// qzl_Version and qzl_Build, the About box and the error report.
#pragma once

namespace qz {

inline constexpr int kEngineVersionMajor = 7;
inline constexpr int kEngineVersionMinor = 0;
inline constexpr int kEngineVersionRevision = 0;

}  // namespace qz
