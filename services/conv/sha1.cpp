// SHA-1 (FIPS 180-4).
#include "services/conv/block_digest.h"

namespace qz {

namespace {

class Sha1 final : public BlockDigest {
 public:
  Sha1() : BlockDigest(true) {}
  size_t digest_size() const override { return 20; }
  std::string finish() override {
    pad();
    std::string out;
    for (uint32_t v : h_) store_be(out, v);
    return out;
  }

 private:
  void compress(const uint8_t* block) override {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i) w[i] = load_be(block + 4 * i);
    for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t f, k;
      if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999u; }
      else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1u; }
      else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDCu; }
      else { f = b ^ c ^ d; k = 0xCA62C1D6u; }
      uint32_t t = rotl(a, 5) + f + e + k + w[i];
      e = d;
      d = c;
      c = rotl(b, 30);
      b = a;
      a = t;
    }
    h_[0] += a;
    h_[1] += b;
    h_[2] += c;
    h_[3] += d;
    h_[4] += e;
  }

  uint32_t h_[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
};

}  // namespace

std::unique_ptr<MessageDigest> new_sha1() { return std::make_unique<Sha1>(); }

}  // namespace qz
