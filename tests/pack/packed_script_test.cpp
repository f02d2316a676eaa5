// The packed container in memory: round trips, the header, the key stream and damaged input.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "engine/pack/key_stream.h"
#include "engine/pack/packed_script.h"

namespace qz::pack {
namespace {

uint32_t u32_at(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
         static_cast<unsigned char>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

void put_u32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

std::string random_bytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}

std::string all_byte_values() {
  std::string s;
  for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
  return s;
}

std::string zlib_compress(const std::string& plain) {
  uLongf size = compressBound(plain.size());
  std::string out(size, '\0');
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(plain.data()),
                     plain.size()),
            Z_OK);
  out.resize(size);
  return out;
}

struct RoundTrip {
  const char* name;
  std::string plain;
};

TEST(PackedScript, RoundTripsEveryKindOfScript) {
  const RoundTrip cases[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"two bytes", "ab"},
      {"a script", "Sub Load(a)\r\n  MsgBox \"Привет\"\r\nEnd Sub\r\n"},
      {"all byte values in a resource block",
       "Sub Load(a)\r\nEnd Sub\r\n\r\n<#res id=1 name=\"bin\"  #>\r\n" + all_byte_values() + all_byte_values() +
           "\r\n<#res#>\r\n"},
      {"a signature with format 0 inside", std::string("QZC\0", 4) + std::string(40, 'z')},
      {"more than 5001 compressed bytes", random_bytes(20000, 1)},
      {"16 MiB and more", std::string(16u << 20, 'a') + "end"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string packed = pack(c.plain, {7, 1, 2});
    ASSERT_TRUE(is_packed(packed));
    std::string reason;
    auto back = unpack(packed, reason);
    ASSERT_TRUE(back) << reason;
    EXPECT_EQ(*back, c.plain);
  }
}

TEST(PackedScript, HeaderFields) {
  const std::string plain(3000, 'q');
  std::string packed = pack(plain, {7, 4, 9});
  ASSERT_GE(packed.size(), kHeaderSize);
  EXPECT_EQ(packed.substr(0, 3), "QZC");
  EXPECT_EQ(packed[3], 1);
  EXPECT_EQ(packed[4], 7);
  EXPECT_EQ(packed[5], 4);
  EXPECT_EQ(packed[6], 9);
  EXPECT_EQ(u32_at(packed, 7), plain.size());
  EXPECT_EQ(u32_at(packed, 11), packed.size() - kHeaderSize);
  EXPECT_EQ(packed.substr(15, 12), std::string(12, '\0'));
}

TEST(PackedScript, OneByteScriptIsStoredScrambledButUncompressed) {
  std::string packed = pack("x");
  ASSERT_EQ(packed.size(), kHeaderSize + 1);
  EXPECT_EQ(u32_at(packed, 7), 1u);
  EXPECT_EQ(u32_at(packed, 11), 1u);
  std::string body = packed.substr(kHeaderSize);
  scramble(body, 1);
  EXPECT_EQ(body, "x");
}

TEST(PackedScript, StoredStreamIsScrambledZlibOutputUpTo5001Bytes) {
  const std::string plain = random_bytes(9000, 7);  // incompressible: the stream is longer than 5001
  std::string stored = pack(plain).substr(kHeaderSize);
  std::string compressed = zlib_compress(plain);
  ASSERT_EQ(stored.size(), compressed.size());
  ASSERT_GT(stored.size(), kScrambledBytes);
  EXPECT_EQ(stored.substr(kScrambledBytes), compressed.substr(kScrambledBytes));
  EXPECT_NE(stored.substr(0, kScrambledBytes), compressed.substr(0, kScrambledBytes));
  std::string unscrambled = stored;
  scramble(unscrambled, static_cast<uint32_t>(plain.size()));
  EXPECT_EQ(unscrambled, compressed);
}

// The key stream is part of the file format: packed files written today must read tomorrow.
TEST(PackedScript, KeyStreamIsFixedAndDependsOnTheLengthAlone) {
  auto key = [](uint32_t length) {
    std::string zeros(8, '\0');
    scramble(zeros, length);
    std::string hex;
    for (unsigned char c : zeros) hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return hex;
  };
  EXPECT_EQ(key(100), key(100));
  EXPECT_NE(key(100), key(101));
  // Lengths whose folded seed byte is equal share their key stream: 0x000102 folds to 3 as 3 does.
  EXPECT_EQ(key(0x000102), key(3));
  // From 16 MiB on the high byte does not count: 0x01000003 folds like 3.
  EXPECT_EQ(key(0x01000003), key(3));
  EXPECT_EQ(key(0), key(0x0101));
  // Pinned values from the generator (24-bit LCG 0x43FD43FD, 0xC39EC3, seeded as Rnd(-v)).
  EXPECT_EQ(key(0), "efabe271d9520025");
  EXPECT_EQ(key(3000), "04c9eec949cf9cc3");
}

TEST(PackedScript, PlainBuffersPassUnchanged) {
  const std::string cases[] = {"", "QZC", std::string("QZC\0", 4) + std::string(30, 'a'), "qzc" + std::string(30, 'a'),
                               "QZC" + std::string(23, '\1')};  // 26 bytes: one short of a header
  for (const auto& plain : cases) {
    EXPECT_FALSE(is_packed(plain));
    std::string buffer = plain, reason;
    EXPECT_EQ(unpack_in_place(buffer, reason), UnpackStatus::Plain);
    EXPECT_EQ(buffer, plain);
  }
}

TEST(PackedScript, AnyNonZeroFormatByteReads) {
  std::string packed = pack("Sub Load(a)\r\nEnd Sub\r\n");
  packed[3] = 'Z';
  std::string reason;
  auto back = unpack(packed, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(*back, "Sub Load(a)\r\nEnd Sub\r\n");
}

TEST(PackedScript, TrailingBytesAfterTheStoredStreamAreIgnored) {
  std::string packed = pack("abcdef") + "trailing";
  std::string reason;
  auto back = unpack(packed, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(*back, "abcdef");
}

TEST(PackedScript, DamagedHeadersAndStreamsAreReportedNotTranslated) {
  const std::string good = pack(std::string(500, 'k') + "Sub Load(a)\r\nEnd Sub\r\n");
  const uint32_t stored = u32_at(good, 11);
  struct Damage {
    const char* name;
    std::string bytes;
  };
  auto with_u32 = [&](size_t at, uint32_t v) {
    std::string s = good;
    put_u32(s, at, v);
    return s;
  };
  auto with_byte = [&](size_t at, char v) {
    std::string s = good;
    s[at] = v;
    return s;
  };
  const Damage cases[] = {
      {"stored length past the end", with_u32(11, stored + 1)},
      {"stored length near 4 GiB", with_u32(11, 0xFFFFFFFF)},
      {"cut short", good.substr(0, good.size() - 5)},
      {"header only", good.substr(0, kHeaderSize)},
      {"unpacked length above the cap", with_u32(7, kMaxUnpackedLength + 1)},
      {"unpacked length no stream could reach", with_u32(7, stored * 2000)},
      {"unpacked length too small", with_u32(7, 10)},
      {"unpacked length too large", with_u32(7, 600)},
      {"a flipped byte in the stream", with_byte(kHeaderSize + 20, static_cast<char>(good[kHeaderSize + 20] ^ 0x40))},
      {"a flipped checksum byte", with_byte(good.size() - 1, static_cast<char>(good.back() ^ 1))},
      {"one stored byte for a longer script", [&] {
         std::string s = pack("x");
         put_u32(s, 7, 2);
         return s;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string buffer = c.bytes, reason;
    EXPECT_EQ(unpack_in_place(buffer, reason), UnpackStatus::Damaged);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(buffer, c.bytes) << "a damaged buffer is left as it was";
    EXPECT_FALSE(unpack(c.bytes, reason));
  }
}

}  // namespace
}  // namespace qz::pack
