// The shared frame of MD4, MD5 and SHA-1: 64-byte blocks, padding with 0x80 and zeros, and the
// message length in bits in the last 8 bytes (little-endian for the MD family, big-endian for
// SHA-1). Subclasses compress one block into their state.
#pragma once
#include <array>
#include <cstring>

#include "services/conv/message_digest.h"

namespace qz {

class BlockDigest : public MessageDigest {
 public:
  void update(const uint8_t* data, size_t n) override {
    total_ += n;
    while (n > 0) {
      size_t take = std::min(n, block_.size() - used_);
      std::memcpy(block_.data() + used_, data, take);
      used_ += take;
      data += take;
      n -= take;
      if (used_ == block_.size()) {
        compress(block_.data());
        used_ = 0;
      }
    }
  }

 protected:
  explicit BlockDigest(bool big_endian_length) : big_endian_(big_endian_length) {}
  virtual void compress(const uint8_t* block) = 0;

  // Pads the message and compresses the last block(s).
  void pad() {
    uint64_t bits = total_ * 8;
    block_[used_++] = 0x80;
    if (used_ > 56) {
      std::memset(block_.data() + used_, 0, block_.size() - used_);
      compress(block_.data());
      used_ = 0;
    }
    std::memset(block_.data() + used_, 0, 56 - used_);
    for (int i = 0; i < 8; ++i)
      block_[56 + i] = static_cast<uint8_t>(bits >> (big_endian_ ? 56 - 8 * i : 8 * i));
    compress(block_.data());
    used_ = 0;
  }

  static uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
  static uint32_t load_le(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
  static uint32_t load_be(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
  }
  static void store_le(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
  }
  static void store_be(std::string& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>(v >> (8 * i)));
  }

 private:
  std::array<uint8_t, 64> block_{};
  size_t used_ = 0;
  uint64_t total_ = 0;
  bool big_endian_;
};

// MD4 and MD5: four little-endian words of state with the same starting values.
class MdFamilyDigest : public BlockDigest {
 public:
  size_t digest_size() const override { return 16; }
  std::string finish() override {
    pad();
    std::string out;
    for (uint32_t v : h_) store_le(out, v);
    return out;
  }

 protected:
  MdFamilyDigest() : BlockDigest(false) {}
  uint32_t h_[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
};

std::unique_ptr<MessageDigest> new_md2();
std::unique_ptr<MessageDigest> new_md4();
std::unique_ptr<MessageDigest> new_md5();
std::unique_ptr<MessageDigest> new_sha1();

}  // namespace qz
