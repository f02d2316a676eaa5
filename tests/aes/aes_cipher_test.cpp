#include <gtest/gtest.h>

#include <string>

#include "formats/aes/aes128.h"

namespace qz {
namespace {

std::string unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

const uint8_t* u8(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// FIPS-197 appendix C.1 and the NIST known-answer vectors for AES-128 ECB.
TEST(Aes128, PublishedVectors) {
  struct Case { const char* key; const char* plain; const char* cipher; };
  const Case cases[] = {
      {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"2b7e151628aed2a6abf7158809cf4f3c", "6bc1bee22e409f96e93d7e117393172a", "3ad77bb40d7a3660a89ecaf32466ef97"},
      {"2b7e151628aed2a6abf7158809cf4f3c", "f69f2445df4f9b17ad2b417be66c3710", "7b0c785e27e8ad3f8223207104725dd4"},
      {"00000000000000000000000000000000", "f34481ec3cc627bacd5dc3fb08f273e6", "0336763e966d92595a567cc9ce537f5e"},
  };
  for (const Case& c : cases) {
    Aes128 aes;
    aes.set_key(u8(unhex(c.key)));
    std::string block = unhex(c.plain), out(16, '\0');
    aes.encrypt_block(u8(block), reinterpret_cast<uint8_t*>(out.data()));
    EXPECT_EQ(hex(out), c.cipher) << c.key;
    aes.decrypt_block(u8(out), reinterpret_cast<uint8_t*>(out.data()));  // in place
    EXPECT_EQ(hex(out), c.plain) << c.key;
  }
}

// Without a key only the final round runs: SubBytes then ShiftRows.
TEST(Aes128, NoKeyRunsOnlyTheFinalRound) {
  Aes128 aes;
  EXPECT_FALSE(aes.has_key());
  std::string block(16, '\0');
  for (int i = 0; i < 16; ++i) block[i] = static_cast<char>(i);
  std::string out(16, '\0');
  aes.encrypt_block(u8(block), reinterpret_cast<uint8_t*>(out.data()));
  // S-box of 0..15, then row r of column c comes from column c + r.
  const std::string sub = unhex("637c777bf26b6fc53001672bfed7ab76");
  std::string expect(16, '\0');
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) expect[4 * c + r] = sub[4 * ((c + r) % 4) + r];
  EXPECT_EQ(hex(out), hex(expect));
  aes.decrypt_block(u8(out), reinterpret_cast<uint8_t*>(out.data()));
  EXPECT_EQ(out, block);
}

}  // namespace
}  // namespace qz
