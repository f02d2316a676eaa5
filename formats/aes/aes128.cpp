#include "formats/aes/aes128.h"

#include <cstring>

namespace qz {

namespace {

// Tables built from GF(2^8) arithmetic (polynomial 0x11B, generator 3) the first time a
// cipher is used.
struct Tables {
  uint8_t sbox[256];
  uint8_t inv_sbox[256];
  uint32_t fwd[4][256];  // S-box entries times MixColumns coefficients, four rotations
  uint32_t inv[4][256];  // inverse S-box entries times InvMixColumns coefficients
  uint32_t rcon[10];

  Tables() {
    uint8_t exp[256], log[256] = {};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
      exp[i] = x;
      log[x] = static_cast<uint8_t>(i);
      x = static_cast<uint8_t>(x ^ xtime(x));  // times 3
    }
    exp[255] = exp[0];
    auto mul = [&](uint8_t a, uint8_t b) -> uint8_t {
      return (a && b) ? exp[(log[a] + log[b]) % 255] : 0;
    };
    for (int i = 0; i < 256; ++i) {
      uint8_t inverse = i ? exp[255 - log[i]] : 0;
      uint8_t s = inverse;
      for (int r = 1; r <= 4; ++r) s ^= static_cast<uint8_t>((inverse << r) | (inverse >> (8 - r)));
      s ^= 0x63;
      sbox[i] = s;
      inv_sbox[s] = static_cast<uint8_t>(i);
    }
    for (int i = 0; i < 256; ++i) {
      uint8_t s = sbox[i];
      uint32_t f = word(mul(s, 2), s, s, mul(s, 3));
      uint8_t v = inv_sbox[i];
      uint32_t d = word(mul(v, 0x0E), mul(v, 0x09), mul(v, 0x0D), mul(v, 0x0B));
      for (int r = 0; r < 4; ++r) {
        fwd[r][i] = rotl(f, 8 * r);
        inv[r][i] = rotl(d, 8 * r);
      }
    }
    uint8_t rc = 1;
    for (int i = 0; i < 10; ++i, rc = xtime(rc)) rcon[i] = rc;
  }

  static uint8_t xtime(uint8_t a) { return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0)); }
  static uint32_t word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return b0 | (uint32_t{b1} << 8) | (uint32_t{b2} << 16) | (uint32_t{b3} << 24);
  }
  static uint32_t rotl(uint32_t w, int n) { return n ? (w << n) | (w >> (32 - n)) : w; }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

inline uint8_t byte_of(uint32_t w, int r) { return static_cast<uint8_t>(w >> (8 * r)); }

inline uint32_t load(const uint8_t* p) {
  return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline void store(uint8_t* p, uint32_t w) {
  p[0] = byte_of(w, 0);
  p[1] = byte_of(w, 1);
  p[2] = byte_of(w, 2);
  p[3] = byte_of(w, 3);
}

uint32_t sub_word(const Tables& t, uint32_t w) {
  return Tables::word(t.sbox[byte_of(w, 0)], t.sbox[byte_of(w, 1)], t.sbox[byte_of(w, 2)], t.sbox[byte_of(w, 3)]);
}

// InvMixColumns of one column: the inverse tables take inverse-S-box inputs, so feed them
// the S-box of each byte.
uint32_t inv_mix_column(const Tables& t, uint32_t w) {
  return t.inv[0][t.sbox[byte_of(w, 0)]] ^ t.inv[1][t.sbox[byte_of(w, 1)]] ^ t.inv[2][t.sbox[byte_of(w, 2)]] ^
         t.inv[3][t.sbox[byte_of(w, 3)]];
}

}  // namespace

void Aes128::set_key(const uint8_t key[16]) {
  const Tables& t = tables();
  for (int i = 0; i < 4; ++i) enc_keys_[i] = load(key + 4 * i);
  for (int i = 4; i < 44; ++i) {
    uint32_t prev = enc_keys_[i - 1];
    if (i % 4 == 0) prev = sub_word(t, Tables::rotl(prev, 24)) ^ t.rcon[i / 4 - 1];  // RotWord: bytes move down one row
    enc_keys_[i] = enc_keys_[i - 4] ^ prev;
  }
  rounds_ = 10;
  for (int round = 0; round <= rounds_; ++round) {
    for (int c = 0; c < 4; ++c) {
      uint32_t k = enc_keys_[4 * (rounds_ - round) + c];
      dec_keys_[4 * round + c] = (round == 0 || round == rounds_) ? k : inv_mix_column(t, k);
    }
  }
}

void Aes128::encrypt_block(const uint8_t* in, uint8_t* out) const {
  const Tables& t = tables();
  const uint32_t* k = enc_keys_;
  uint32_t s[4], n[4];
  for (int c = 0; c < 4; ++c) s[c] = load(in + 4 * c) ^ k[c];
  for (int round = 1; round < rounds_; ++round) {
    k += 4;
    for (int c = 0; c < 4; ++c) {
      n[c] = t.fwd[0][byte_of(s[c], 0)] ^ t.fwd[1][byte_of(s[(c + 1) & 3], 1)] ^
             t.fwd[2][byte_of(s[(c + 2) & 3], 2)] ^ t.fwd[3][byte_of(s[(c + 3) & 3], 3)] ^ k[c];
    }
    std::memcpy(s, n, sizeof s);
  }
  k = enc_keys_ + 4 * rounds_;
  for (int c = 0; c < 4; ++c) {
    n[c] = Tables::word(t.sbox[byte_of(s[c], 0)], t.sbox[byte_of(s[(c + 1) & 3], 1)],
                        t.sbox[byte_of(s[(c + 2) & 3], 2)], t.sbox[byte_of(s[(c + 3) & 3], 3)]) ^
           k[c];
  }
  for (int c = 0; c < 4; ++c) store(out + 4 * c, n[c]);
}

void Aes128::decrypt_block(const uint8_t* in, uint8_t* out) const {
  const Tables& t = tables();
  const uint32_t* k = dec_keys_;
  uint32_t s[4], n[4];
  for (int c = 0; c < 4; ++c) s[c] = load(in + 4 * c) ^ k[c];
  for (int round = 1; round < rounds_; ++round) {
    k += 4;
    for (int c = 0; c < 4; ++c) {
      n[c] = t.inv[0][byte_of(s[c], 0)] ^ t.inv[1][byte_of(s[(c + 3) & 3], 1)] ^
             t.inv[2][byte_of(s[(c + 2) & 3], 2)] ^ t.inv[3][byte_of(s[(c + 1) & 3], 3)] ^ k[c];
    }
    std::memcpy(s, n, sizeof s);
  }
  k = dec_keys_ + 4 * rounds_;
  for (int c = 0; c < 4; ++c) {
    n[c] = Tables::word(t.inv_sbox[byte_of(s[c], 0)], t.inv_sbox[byte_of(s[(c + 3) & 3], 1)],
                        t.inv_sbox[byte_of(s[(c + 2) & 3], 2)], t.inv_sbox[byte_of(s[(c + 1) & 3], 3)]) ^
           k[c];
  }
  for (int c = 0; c < 4; ++c) store(out + 4 * c, n[c]);
}

}  // namespace qz
