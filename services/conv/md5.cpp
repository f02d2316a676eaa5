// MD5 (RFC 1321).
#include <cmath>

#include "services/conv/block_digest.h"

namespace qz {

namespace {

class Md5 final : public MdFamilyDigest {
 private:
  void compress(const uint8_t* block) override {
    static constexpr int shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    static const auto sines = [] {  // floor(|sin(i + 1)| * 2^32)
      std::array<uint32_t, 64> k{};
      for (int i = 0; i < 64; ++i) k[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
      return k;
    }();
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load_le(block + 4 * i);
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3];
    for (int i = 0; i < 64; ++i) {
      uint32_t f;
      int g;
      switch (i / 16) {
        case 0: f = (b & c) | (~b & d); g = i; break;
        case 1: f = (d & b) | (~d & c); g = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
      }
      uint32_t t = d;
      d = c;
      c = b;
      b = b + rotl(a + f + sines[i] + x[g], shifts[i / 16][i % 4]);
      a = t;
    }
    h_[0] += a;
    h_[1] += b;
    h_[2] += c;
    h_[3] += d;
  }
};

}  // namespace

std::unique_ptr<MessageDigest> new_md5() { return std::make_unique<Md5>(); }

}  // namespace qz
