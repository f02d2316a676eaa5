#include "formats/aes/aes_layout.h"

#include "com/error.h"
#include "formats/zip/file_io.h"

namespace qz {

namespace {

uint8_t* bytes_of(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

void encrypt_in_place(const Aes128& cipher, std::string& buf) {
  for (size_t off = 0; off + 16 <= buf.size(); off += 16) cipher.encrypt_block(bytes_of(buf) + off, bytes_of(buf) + off);
}
void decrypt_in_place(const Aes128& cipher, std::string& buf) {
  for (size_t off = 0; off + 16 <= buf.size(); off += 16) cipher.decrypt_block(bytes_of(buf) + off, bytes_of(buf) + off);
}

size_t with_size_byte(size_t n) { return (n + 16) & ~size_t{15}; }

enum : int32_t { kErrDeviceIO = 57, kErrPathAccess = 75 };

}  // namespace

std::string aes_encrypt_bytes(const Aes128& cipher, std::string_view plain, bool append_size) {
  size_t n = plain.size();
  std::string out(append_size ? with_size_byte(n) : (n + 15) & ~size_t{15}, '\0');
  out.replace(0, n, plain);
  if (append_size) out.back() = static_cast<char>(n % 16);
  encrypt_in_place(cipher, out);
  return out;
}

std::string aes_decrypt_bytes(const Aes128& cipher, std::string_view encrypted, bool append_size) {
  size_t n = encrypted.size();
  if (n % 16 != 0 || n == 0) return {};
  std::string out(encrypted);
  decrypt_in_place(cipher, out);
  if (append_size) {
    uint8_t b = static_cast<uint8_t>(out.back());
    if (b <= 15) out.resize(n - 16 + b);
  }
  return out;
}

void aes_encrypt_file(const Aes128& cipher, const std::string& plain_os_path, const std::string& cipher_os_path,
                      size_t chunk) {
  InputFile in;
  if (!in.open(plain_os_path)) raise(kErrFileNotFound);
  ReplacingFile out;
  if (!out.open(cipher_os_path)) raise(kErrPathAccess);
  const uint64_t length = in.size();
  uint64_t remaining = with_size_byte(length);
  std::string buf;
  while (remaining > chunk) {
    buf.assign(chunk, '\0');
    if (in.read(buf.data(), chunk) != static_cast<int64_t>(chunk)) raise(kErrDeviceIO);  // the file shrank
    encrypt_in_place(cipher, buf);
    if (!out.write(buf)) raise(kErrDeviceIO);
    remaining -= chunk;
  }
  buf.assign(remaining, '\0');
  if (in.read(buf.data(), remaining - 1) < 0) raise(kErrDeviceIO);
  buf.back() = static_cast<char>(length % 16);
  encrypt_in_place(cipher, buf);
  if (!out.write(buf) || !out.commit()) raise(kErrDeviceIO);
}

int32_t aes_decrypt_file(const Aes128& cipher, const std::string& cipher_os_path, const std::string& plain_os_path,
                         size_t chunk) {
  InputFile in;
  if (!in.open(cipher_os_path)) raise(kErrFileNotFound);
  uint64_t remaining = in.size();
  if (remaining == 0 || remaining % 16 != 0) return 1;
  ReplacingFile out;
  if (!out.open(plain_os_path)) raise(kErrPathAccess);
  std::string buf;
  while (remaining > chunk) {
    buf.assign(chunk, '\0');
    if (in.read(buf.data(), chunk) != static_cast<int64_t>(chunk)) raise(kErrDeviceIO);
    decrypt_in_place(cipher, buf);
    if (!out.write(buf)) raise(kErrDeviceIO);
    remaining -= chunk;
  }
  buf.assign(remaining, '\0');
  if (in.read(buf.data(), remaining) != static_cast<int64_t>(remaining)) raise(kErrDeviceIO);
  decrypt_in_place(cipher, buf);
  uint8_t b = static_cast<uint8_t>(buf.back());
  if (b < 16) buf.resize(remaining - 16 + b);
  if (!out.write(buf) || !out.commit()) raise(kErrDeviceIO);
  return 0;
}

}  // namespace qz
