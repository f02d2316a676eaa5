// Random names for files and keys. Drawn from the system's random source, never from a clock:
// two processes started in the same second must not pick the same temporary name.
#pragma once
#include <cstddef>
#include <string>

namespace qz {

// `length` characters from "qwertyuiopasdfghjklzxcvbnm0123456789".
std::u16string random_text(size_t length);

}  // namespace qz
