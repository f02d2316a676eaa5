// SetCipherKey, Encrypt and Decrypt never raise (a failure gives 0 or "") once a key is set;
// before SetCipherKey every cipher member raises, as output without a key protects nothing.
// The file members report a missing or unwritable file as a run-time error.
#include "formats/aes/aes_object.h"

#include <cstring>

#include "com/convert.h"
#include "com/error.h"
#include "formats/aes/aes128.h"
#include "formats/aes/aes_layout.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz {

namespace {

std::string ansi_bytes(const Variant& v) { return encode(ansi_code_page(), to_u16(v)); }
Variant ansi_text(std::string_view bytes) { return Variant(decode(ansi_code_page(), bytes)); }
bool optional_flag(Args a, size_t i) { return a.has(i) && to_bool(a[i]); }

const Aes128& keyed(const Aes128& cipher) {
  constexpr int32_t kInvalidCall = 5;
  if (!cipher.has_key()) raise(kInvalidCall, u"No cipher key: call SetCipherKey first");
  return cipher;
}

class AesObject : public NativeObject<AesObject> {
 public:
  std::u16string type_name() const override { return u"clsAES"; }

  static void define(Members<AesObject>& m) {
    m.method(u"SetCipherKey", [](AesObject& o, Args a) {
      try {
        std::string pass = ansi_bytes(a[0]);
        uint8_t key[16] = {};
        std::memcpy(key, pass.data(), pass.size() < 16 ? pass.size() : 16);
        o.cipher_.set_key(key);
      } catch (...) {
      }
      return Variant(int32_t{0});
    });
    m.method(u"Encrypt", [](AesObject& o, Args a) {
      const Aes128& cipher = keyed(o.cipher_);
      try {
        return ansi_text(aes_encrypt_bytes(cipher, ansi_bytes(a[0]), optional_flag(a, 1)));
      } catch (...) {
        return Variant(Str());
      }
    });
    m.method(u"Decrypt", [](AesObject& o, Args a) {
      const Aes128& cipher = keyed(o.cipher_);
      try {
        return ansi_text(aes_decrypt_bytes(cipher, ansi_bytes(a[0]), optional_flag(a, 1)));
      } catch (...) {
        return Variant(Str());
      }
    });
    m.method(u"FileEncrypt", [](AesObject& o, Args a) {
      aes_encrypt_file(keyed(o.cipher_), find_path(to_u16(a[0])), find_path(to_u16(a[1])));
      return Variant(int32_t{0});
    });
    m.method(u"FileDecrypt", [](AesObject& o, Args a) {
      return Variant(aes_decrypt_file(keyed(o.cipher_), find_path(to_u16(a[0])), find_path(to_u16(a[1]))));
    });
  }

 private:
  Aes128 cipher_;
};

}  // namespace

Ref<Object> new_aes_object() { return make_ref<AesObject>(); }
Ref<Object> create_crypt_service(EngineLink&) { return new_aes_object(); }

}  // namespace qz
