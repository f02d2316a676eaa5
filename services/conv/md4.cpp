// MD4 (RFC 1320).
#include "services/conv/block_digest.h"

namespace qz {

namespace {

class Md4 final : public MdFamilyDigest {
 private:
  void compress(const uint8_t* block) override {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load_le(block + 4 * i);
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3];
    auto f = [](uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); };
    auto g = [](uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (x & z) | (y & z); };
    auto h = [](uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; };
    static constexpr int s1[4] = {3, 7, 11, 19}, s2[4] = {3, 5, 9, 13}, s3[4] = {3, 9, 11, 15};
    static constexpr int order2[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    static constexpr int order3[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    // Each step updates one of a, d, c, b in turn; rotating the names keeps one formula.
    auto round = [&](auto fn, const int* order, const int* shifts, uint32_t k) {
      for (int i = 0; i < 16; ++i) {
        uint32_t t = rotl(a + fn(b, c, d) + x[order ? order[i] : i] + k, shifts[i % 4]);
        a = d;
        d = c;
        c = b;
        b = t;
      }
    };
    round(f, nullptr, s1, 0);
    round(g, order2, s2, 0x5A827999u);
    round(h, order3, s3, 0x6ED9EBA1u);
    h_[0] += a;
    h_[1] += b;
    h_[2] += c;
    h_[3] += d;
  }
};

}  // namespace

std::unique_ptr<MessageDigest> new_md4() { return std::make_unique<Md4>(); }

}  // namespace qz
