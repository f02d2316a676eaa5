// HashString and HashFile: a digest as upper-case hexadecimal text, or "" when the algorithm is
// unknown or the digest cannot be read with the parameter numbers the script has set.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

// The parameter numbers that read a digest's length and value (script-settable properties).
struct DigestParams {
  int32_t value = 2;  // the digest itself
  int32_t size = 4;   // its length, a 32-bit number
};

// The digest of the text's ANSI bytes.
std::string hash_text_hex(std::u16string_view text, int32_t algorithm, const DigestParams& params);

// The digest of a file's contents, read in chunks of 32768 bytes. "" when `os_file` is not a
// regular file; a file that exists but cannot be opened or read raises error 75.
std::string hash_file_hex(const std::string& os_file, int32_t algorithm, const DigestParams& params);

}  // namespace qz
