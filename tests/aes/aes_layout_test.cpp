#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "com/error.h"
#include "formats/aes/aes_layout.h"

namespace qz {
namespace {

const char kKeyHex[] = "73656372657400000000000000000000";  // "secret", zero-padded

Aes128 keyed() {
  uint8_t key[16] = {'s', 'e', 'c', 'r', 'e', 't'};
  Aes128 aes;
  aes.set_key(key);
  return aes;
}

std::string pattern(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return s;
}

TEST(AesLayout, OutputLengths) {
  struct Case { size_t in; bool append; size_t out; };
  const Case cases[] = {{0, true, 16},   {0, false, 0},   {5, true, 16},   {5, false, 16}, {15, true, 16},
                        {16, true, 32},  {16, false, 16}, {17, true, 32},  {17, false, 32}, {31, true, 32}};
  Aes128 aes = keyed();
  for (const Case& c : cases) {
    std::string enc = aes_encrypt_bytes(aes, pattern(c.in), c.append);
    EXPECT_EQ(enc.size(), c.out) << c.in << " append " << c.append;
    std::string dec = aes_decrypt_bytes(aes, enc, c.append);
    if (c.append) {
      EXPECT_EQ(dec, pattern(c.in)) << c.in;
    } else {  // the length is lost: zero bytes fill the last block
      EXPECT_EQ(dec, pattern(c.in) + std::string(c.out - c.in, '\0')) << c.in;
    }
  }
}

TEST(AesLayout, LastBlockCarriesTheLengthByte) {
  Aes128 aes = keyed();
  std::string enc = aes_encrypt_bytes(aes, "hello", true);
  std::string raw = aes_decrypt_bytes(aes, enc, false);
  EXPECT_EQ(raw, std::string("hello") + std::string(10, '\0') + '\x05');
  // A whole block of input gains a block of 15 zeros and a 0.
  raw = aes_decrypt_bytes(aes, aes_encrypt_bytes(aes, pattern(16), true), false);
  EXPECT_EQ(raw, pattern(16) + std::string(16, '\0'));
}

TEST(AesLayout, DecryptRejectsPartialBlocksAndToleratesWrongKeys) {
  Aes128 aes = keyed();
  EXPECT_EQ(aes_decrypt_bytes(aes, pattern(20), true), "");
  EXPECT_EQ(aes_decrypt_bytes(aes, "", true), "");
  // Equal plain blocks give equal cipher blocks (no chaining).
  std::string enc = aes_encrypt_bytes(aes, std::string(32, 'A'), false);
  EXPECT_EQ(enc.substr(0, 16), enc.substr(16, 16));
  // Under a wrong key the result is whatever the blocks decipher to: a last byte of 16 or more
  // cuts nothing, a smaller one cuts as usual; either way no failure.
  Aes128 other;
  uint8_t k2[16] = {'w', 'r', 'o', 'n', 'g'};
  other.set_key(k2);
  for (size_t n : {0u, 3u, 16u, 40u}) {
    std::string e = aes_encrypt_bytes(aes, pattern(n), true);
    std::string full = aes_decrypt_bytes(other, e, false);
    std::string cut = aes_decrypt_bytes(other, e, true);
    uint8_t last = static_cast<uint8_t>(full.back());
    EXPECT_EQ(cut.size(), last > 15 ? e.size() : e.size() - 16 + last) << n;
    EXPECT_NE(cut, pattern(n));
  }
}

class AesFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qz-aes-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string path(const char* name) { return dir_ + "/" + name; }
  static void write(const std::string& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
  static std::string read(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  static bool exists(const std::string& p) { return access(p.c_str(), F_OK) == 0; }
  std::string dir_;
};

TEST_F(AesFiles, RoundTripsAcrossChunkBoundaries) {
  Aes128 aes = keyed();
  // Sizes around the chunk size (64 here, so the loop runs) and the real 4,000,000.
  struct Case { size_t size; size_t chunk; };
  const Case cases[] = {{0, 64}, {1, 64}, {15, 64}, {16, 64}, {63, 64}, {64, 64}, {65, 64}, {200, 64},
                        {kAesFileChunk, kAesFileChunk}, {kAesFileChunk + 5, kAesFileChunk}};
  for (const Case& c : cases) {
    std::string plain = pattern(c.size);
    write(path("plain"), plain);
    aes_encrypt_file(aes, path("plain"), path("enc"), c.chunk);
    std::string enc = read(path("enc"));
    ASSERT_EQ(enc.size(), (c.size + 16) & ~size_t{15}) << c.size;
    // The file layout is the text layout with the appended size, whatever the chunking.
    if (c.size < 1000) EXPECT_EQ(enc, aes_encrypt_bytes(aes, plain, true)) << c.size;
    EXPECT_EQ(aes_decrypt_file(aes, path("enc"), path("back"), c.chunk), 0);
    EXPECT_EQ(read(path("back")), plain) << c.size;
  }
}

TEST_F(AesFiles, BadInputs) {
  Aes128 aes = keyed();
  write(path("hundred"), pattern(100));
  EXPECT_EQ(aes_decrypt_file(aes, path("hundred"), path("out")), 1);
  EXPECT_FALSE(exists(path("out")));
  write(path("empty"), "");
  EXPECT_EQ(aes_decrypt_file(aes, path("empty"), path("out")), 1);
  EXPECT_FALSE(exists(path("out")));

  try {
    aes_encrypt_file(aes, path("missing"), path("out"));
    FAIL() << "no error for a missing input";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 53);
  }
  try {
    aes_encrypt_file(aes, path("hundred"), path("no/such/folder/out"));
    FAIL() << "no error for an output folder that does not exist";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 75);
  }
  EXPECT_FALSE(exists(path("out")));
}

TEST_F(AesFiles, SameFileInAndOutKeepsTheData) {
  Aes128 aes = keyed();
  std::string plain = pattern(1000);
  write(path("f"), plain);
  aes_encrypt_file(aes, path("f"), path("f"), 64);
  EXPECT_EQ(read(path("f")).size(), 1008u);
  EXPECT_EQ(aes_decrypt_file(aes, path("f"), path("f"), 64), 0);
  EXPECT_EQ(read(path("f")), plain);
}

// Block for block the layout is plain ECB without padding, so the openssl command line reads
// what we write and writes what we read.
TEST_F(AesFiles, InteroperatesWithOpensslEcb) {
  if (std::system("command -v openssl > /dev/null 2>&1") != 0) GTEST_SKIP() << "openssl not installed";
  Aes128 aes = keyed();
  const std::string ossl = std::string("openssl enc -aes-128-ecb -nopad -K ") + kKeyHex;
  for (size_t n : {0u, 7u, 16u, 33u, 5000u}) {
    std::string plain = pattern(n);
    write(path("plain"), plain);
    aes_encrypt_file(aes, path("plain"), path("ours.enc"));
    ASSERT_EQ(std::system((ossl + " -d -in " + path("ours.enc") + " -out " + path("theirs.dec")).c_str()), 0);
    std::string expect = plain + std::string(((n + 16) & ~size_t{15}) - n, '\0');
    expect.back() = static_cast<char>(n % 16);
    EXPECT_EQ(read(path("theirs.dec")), expect) << n;

    write(path("laid-out"), expect);
    ASSERT_EQ(std::system((ossl + " -e -in " + path("laid-out") + " -out " + path("theirs.enc")).c_str()), 0);
    EXPECT_EQ(read(path("theirs.enc")), read(path("ours.enc"))) << n;
    EXPECT_EQ(aes_decrypt_file(aes, path("theirs.enc"), path("ours.dec")), 0);
    EXPECT_EQ(read(path("ours.dec")), plain) << n;
  }
}

}  // namespace
}  // namespace qz
