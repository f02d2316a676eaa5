// The byte layout of encrypted texts and files: ECB, every 16-byte block by itself, the last
// block zero-filled. With the appended size the last byte of the last block holds the input
// length mod 16 and there is always room for it: n bytes become (n + 16) AND NOT 15 bytes, and
// on the way back a last byte of 16 or more means "cut nothing" (a wrong key looks like that).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/aes/aes128.h"

namespace qz {

std::string aes_encrypt_bytes(const Aes128& cipher, std::string_view plain, bool append_size);
// Empty when the input is not a multiple of 16 bytes.
std::string aes_decrypt_bytes(const Aes128& cipher, std::string_view encrypted, bool append_size);

// Files go through in chunks of this many bytes (a multiple of 16), so memory stays bounded.
constexpr size_t kAesFileChunk = 4000000;

// Encrypts a file with the appended size. Raises 53 when the input cannot be opened, 75 when
// the output cannot be created, 57 on a failing read or write; the output is replaced only
// when it was written whole, so the two names may be the same file.
void aes_encrypt_file(const Aes128& cipher, const std::string& plain_os_path, const std::string& cipher_os_path,
                      size_t chunk = kAesFileChunk);
// Decrypts a file written by aes_encrypt_file. Returns 1, writing nothing, when the input's
// length is 0 or not a multiple of 16; else 0. Errors as for aes_encrypt_file.
int32_t aes_decrypt_file(const Aes128& cipher, const std::string& cipher_os_path, const std::string& plain_os_path,
                         size_t chunk = kAesFileChunk);

}  // namespace qz
