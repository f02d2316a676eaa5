#include "services/conv/message_digest.h"

#include "services/conv/block_digest.h"

namespace qz {

std::unique_ptr<MessageDigest> new_message_digest(int32_t algorithm) {
  switch (algorithm) {
    case kDigestMD2: return new_md2();
    case kDigestMD4: return new_md4();
    case kDigestMD5: return new_md5();
    case kDigestSHA1: return new_sha1();
    default: return nullptr;
  }
}

std::string hex_upper(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

}  // namespace qz
