// Message digests chosen by the algorithm numbers scripts pass (the vbMD2, vbMD4, vbMD5 and
// vbSHA1 constants), fed in pieces, as files are read chunk by chunk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qz {

enum DigestAlgorithm : int32_t {
  kDigestMD2 = 0x8001, kDigestMD4 = 0x8002, kDigestMD5 = 0x8003, kDigestSHA1 = 0x8004,
};

class MessageDigest {
 public:
  virtual ~MessageDigest() = default;
  virtual void update(const uint8_t* data, size_t n) = 0;
  void update(std::string_view bytes) { update(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }
  // The digest of everything fed so far; the object is spent afterwards.
  virtual std::string finish() = 0;
  virtual size_t digest_size() const = 0;
};

// Null for a number that names no supported algorithm.
std::unique_ptr<MessageDigest> new_message_digest(int32_t algorithm);

// Upper-case hexadecimal, two digits per byte.
std::string hex_upper(std::string_view bytes);

}  // namespace qz
