// Base64 as script resource blocks and sys.Conv carry it: the standard alphabet with "="
// padding, written in lines of 76 characters, each full line followed by CR LF (so text whose
// input length is a multiple of 57 ends with CR LF); the last, shorter group carries the
// padding and no line break.
#pragma once
#include <string>
#include <string_view>

namespace qz {

std::string base64_encode_lines(std::string_view bytes);

// Decodes Base64 text of any line layout: CR, LF and every other character outside the
// alphabet are skipped, the first "=" ends the data, and bits of an incomplete last group
// that do not make a whole byte are dropped. Never fails.
std::string base64_decode(std::string_view text);

}  // namespace qz
