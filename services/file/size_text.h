// Human-readable sizes ("0.98 KB", "999 КБ") and the two-halves-to-number step that disk
// sizes go through.
#pragma once
#include <cstdint>
#include <string>

namespace qz {

// The unsigned 64-bit value hi * 2^32 + lo (each half read as unsigned) as a Double.
double hi_lo_to_double(int32_t lo, int32_t hi);

// The number with its unit: bytes up to 999, then KB, MB, GB, TB while the value is at most
// 999 units of the next smaller size; "" beyond 999 TB. `russian` picks the Russian words.
std::u16string format_bytes(double bytes, bool russian);

// A unit count: whole above 100 (halves to even), one decimal from 10, two below.
std::u16string format_size_number(double x);

}  // namespace qz
