// clsAES through its script members: keys from pass phrases, texts as one character per byte.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "com/convert.h"
#include "com/error.h"
#include "formats/aes/aes_object.h"

namespace qz {
namespace {

std::u16string call_text(Object& o, std::u16string_view member, std::vector<Variant> args) {
  return to_u16(o.call(member, std::move(args)));
}

TEST(AesObject, PassPhrasesMakeKeysFromTheirFirst16Bytes) {
  setenv("QUAZEL_LANGID", "1049", 1);  // ANSI page 1251
  Ref<Object> a = new_aes_object(), b = new_aes_object();
  a->call(u"SetCipherKey", {Variant(u"0123456789abcdefIGNORED")});
  b->call(u"SetCipherKey", {Variant(u"0123456789abcdefother")});
  std::u16string text = u"Привет, мир";
  std::u16string enc = call_text(*a, u"Encrypt", {Variant(text), Variant(true)});
  EXPECT_EQ(enc.size(), 16u);
  EXPECT_EQ(enc, call_text(*b, u"Encrypt", {Variant(text), Variant(true)}));
  EXPECT_EQ(call_text(*b, u"Decrypt", {Variant(enc), Variant(true)}), text);

  // An empty pass phrase is the all-zero key, not "no key": it encrypts.
  Ref<Object> zero = new_aes_object();
  zero->call(u"SetCipherKey", {Variant(u"")});
  std::u16string z = call_text(*zero, u"Encrypt", {Variant(u"abc"), Variant(true)});
  EXPECT_EQ(z.size(), 16u);
  EXPECT_EQ(call_text(*zero, u"Decrypt", {Variant(z), Variant(true)}), u"abc");
  unsetenv("QUAZEL_LANGID");
}

TEST(AesObject, EveryCipherMemberRaisesUntilAKeyIsSet) {
  Ref<Object> none = new_aes_object();
  const std::vector<std::pair<std::u16string_view, std::vector<Variant>>> calls = {
      {u"Encrypt", {Variant(u"abc"), Variant(true)}},
      {u"Decrypt", {Variant(std::u16string(16, u'x')), Variant(true)}},
      {u"FileEncrypt", {Variant(u"/tmp/qz_aes_in_unused"), Variant(u"/tmp/qz_aes_out_unused")}},
      {u"FileDecrypt", {Variant(u"/tmp/qz_aes_in_unused"), Variant(u"/tmp/qz_aes_out_unused")}},
  };
  for (const auto& [member, args] : calls) {
    try {
      none->call(member, args);
      ADD_FAILURE() << "no error from " << std::string(member.begin(), member.end());
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, 5);
    }
  }
  none->call(u"SetCipherKey", {Variant(u"key")});
  EXPECT_EQ(call_text(*none, u"Decrypt", {call_text(*none, u"Encrypt", {Variant(u"abc"), Variant(true)}), Variant(true)}), u"abc");
}

TEST(AesObject, TextMembersNeverRaise) {
  Ref<Object> a = new_aes_object();
  a->call(u"SetCipherKey", {Variant(u"k")});
  EXPECT_EQ(call_text(*a, u"Decrypt", {Variant(std::u16string(20, u'x')), Variant(true)}), u"");
  EXPECT_EQ(call_text(*a, u"Encrypt", {Variant(u""), Variant(false)}), u"");
  EXPECT_EQ(call_text(*a, u"Encrypt", {Variant::null(), Variant(true)}), u"");  // Null: no text
  EXPECT_EQ(to_long(a->call(u"SetCipherKey", {Variant::null()})), 0);
  // A 5-byte text without the appended size comes back as 16 characters.
  std::u16string back = call_text(*a, u"Decrypt", {call_text(*a, u"Encrypt", {Variant(u"12345"), Variant(false)}), Variant(false)});
  EXPECT_EQ(back, std::u16string(u"12345") + std::u16string(11, u'\0'));
}

}  // namespace
}  // namespace qz
