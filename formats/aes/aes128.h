// AES-128 (FIPS-197) block cipher with 32-bit round tables. A state column is a 32-bit word
// whose lowest byte is row 0; the 16 bytes of a block fill the columns in order.
#pragma once
#include <cstdint>

namespace qz {

class Aes128 {
 public:
  // Without a key the round count is 0 and every round key is 0: a block then goes through
  // the final round only (SubBytes and ShiftRows), and decrypt_block undoes exactly that.
  Aes128() = default;

  void set_key(const uint8_t key[16]);
  bool has_key() const { return rounds_ != 0; }

  // `in` and `out` may be the same 16 bytes.
  void encrypt_block(const uint8_t* in, uint8_t* out) const;
  void decrypt_block(const uint8_t* in, uint8_t* out) const;

 private:
  int rounds_ = 0;
  uint32_t enc_keys_[44] = {};
  uint32_t dec_keys_[44] = {};  // the equivalent inverse cipher's keys
};

}  // namespace qz
