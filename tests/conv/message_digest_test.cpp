// The digests against the published test suites of their definitions, fed whole and in pieces
// that straddle block boundaries, and the parameter numbers that read them.
#include <gtest/gtest.h>

#include "services/conv/hashing.h"
#include "services/conv/message_digest.h"

namespace qz {
namespace {

std::string digest_hex(int32_t alg, std::string_view data, size_t piece) {
  auto md = new_message_digest(alg);
  for (size_t i = 0; i < data.size(); i += piece) md->update(data.substr(i, piece));
  std::string d = md->finish();
  EXPECT_EQ(d.size(), new_message_digest(alg)->digest_size());
  return hex_upper(d);
}

TEST(MessageDigest, PublishedTestSuites) {
  const std::string alnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string digits;
  for (int i = 0; i < 8; ++i) digits += "1234567890";
  struct Case { int32_t alg; std::string data; const char* hex; };
  const Case cases[] = {
      {kDigestMD2, "", "8350E5A3E24C153DF2275C9F80692773"},
      {kDigestMD2, "abc", "DA853B0D3F88D99B30283A69E6DED6BB"},
      {kDigestMD2, "message digest", "AB4F496BFB2A530B219FF33031FE06B0"},
      {kDigestMD2, alnum, "DA33DEF2A42DF13975352846C30338CD"},
      {kDigestMD2, digits, "D5976F79D83D3A0DC9806C3C66F3EFD8"},
      {kDigestMD4, "", "31D6CFE0D16AE931B73C59D7E0C089C0"},
      {kDigestMD4, "a", "BDE52CB31DE33E46245E05FBDBD6FB24"},
      {kDigestMD4, "message digest", "D9130A8164549FE818874806E1C7014B"},
      {kDigestMD4, digits, "E33B4DDC9C38F2199C3E7B164FCC0536"},
      {kDigestMD5, "", "D41D8CD98F00B204E9800998ECF8427E"},
      {kDigestMD5, "abc", "900150983CD24FB0D6963F7D28E17F72"},
      {kDigestMD5, alnum, "D174AB98D277D9F5A5611C2C9F419D9F"},
      {kDigestMD5, digits, "57EDF4A22BE3C955AC49DA2E2107B67A"},
      {kDigestSHA1, "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {kDigestSHA1, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {kDigestSHA1, std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
  };
  for (const Case& c : cases) {
    for (size_t piece : {size_t{1}, size_t{7}, size_t{64}, size_t{1000}}) {
      if (piece == 1 && c.data.size() > 100000) continue;
      EXPECT_EQ(digest_hex(c.alg, c.data, piece), c.hex) << c.alg << " '" << c.data.substr(0, 20) << "' piece " << piece;
    }
  }
  // 55, 56 and 64 bytes: the padding needs one or two extra blocks.
  EXPECT_EQ(digest_hex(kDigestMD5, std::string(55, 'x'), 64), digest_hex(kDigestMD5, std::string(55, 'x'), 3));
  EXPECT_EQ(digest_hex(kDigestSHA1, std::string(56, 'a'), 64), "C2DB330F6083854C99D4B5BFB6E8F29F201BE699");
}

TEST(MessageDigest, UnknownAlgorithmsHaveNoDigest) {
  for (int32_t alg : {0, 0x8005, 0x800C, -1, 32768}) EXPECT_EQ(new_message_digest(alg), nullptr) << alg;
  EXPECT_EQ(hash_text_hex(u"abc", 0x800C, {}), "");
}

TEST(HashParams, TheNumbersThatReadLengthAndValue) {
  struct Case { int32_t value, size; const char* expected; };
  const Case cases[] = {
      {2, 4, "900150983CD24FB0D6963F7D28E17F72"},
      {2, 1, "900150983CD24FB0D6963F7D28E17F72"},  // the algorithm number as length: room enough
      {1, 4, "03800000"},                           // the value read is the algorithm number
      {2, 2, ""},                                   // a 16-byte value does not fit the length slot
      {4, 4, "10000000"},                           // the length read as the value
      {3, 4, ""},                                   // no such parameter
      {2, 9, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(hash_text_hex(u"abc", kDigestMD5, {c.value, c.size}), c.expected) << c.value << "/" << c.size;
}

}  // namespace
}  // namespace qz
