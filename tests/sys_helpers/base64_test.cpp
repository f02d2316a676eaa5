// Base64 against the system's base64 tool: the encoder's line layout, and a decoder that
// reads any line layout back byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "formats/base64.h"
#include "platform/path.h"

namespace qz {
namespace {

std::string random_bytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

// The base64 tool's output for `bytes` with lines of `width` characters (LF line ends).
std::string tool_base64(const std::string& bytes, int width) {
  TempFile tmp = create_temp_file({}, "b64");
  ::close(tmp.fd);
  { std::ofstream(tmp.path, std::ios::binary) << bytes; }
  std::string cmd = "base64 -w " + std::to_string(width) + " " + tmp.path;
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "popen failed";
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  std::remove(tmp.path.c_str());
  return out;
}

// The tool's text in our layout: CR LF line ends, a line break after every full line and
// none after a shorter last one.
std::string in_our_layout(std::string text, size_t input_length) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\r\n";
    else out.push_back(c);
  }
  if (input_length > 0 && input_length % 57 == 0) out += "\r\n";
  return out;
}

TEST(Base64, EncoderMatchesTheToolInOurLineLayout) {
  for (size_t n : {0, 1, 2, 3, 4, 56, 57, 58, 113, 114, 115, 171, 1000, 5700, 60001}) {
    std::string bytes = random_bytes(n, static_cast<unsigned>(n));
    EXPECT_EQ(base64_encode_lines(bytes), in_our_layout(tool_base64(bytes, 76), n)) << "length " << n;
  }
}

TEST(Base64, LineBreaksAndPadding) {
  EXPECT_EQ(base64_encode_lines("abc"), "YWJj");
  EXPECT_EQ(base64_encode_lines("ab"), "YWI=");
  EXPECT_EQ(base64_encode_lines("a"), "YQ==");
  EXPECT_EQ(base64_encode_lines(std::string(57, 'x')).size(), 78u);
  EXPECT_EQ(base64_encode_lines(std::string(58, 'x')).size(), 82u);
  EXPECT_EQ(base64_encode_lines(std::string(56, 'x')).size(), 76u);
  EXPECT_EQ(base64_encode_lines(std::string(57, 'x')).substr(76), "\r\n");
}

TEST(Base64, DecoderReadsEveryLayoutBackExactly) {
  for (size_t n = 0; n <= 300; ++n) {
    std::string bytes = random_bytes(n, static_cast<unsigned>(n) + 7);
    std::string ours = base64_encode_lines(bytes);
    ASSERT_EQ(base64_decode(ours), bytes) << "our layout, length " << n;
    ASSERT_EQ(base64_decode(ours + "\r\n"), bytes) << "extra CR LF, length " << n;
    if (n % 37 != 0) continue;  // the tool is slow to start: a sample of lengths
    ASSERT_EQ(base64_decode(tool_base64(bytes, 76)), bytes) << "LF lines, length " << n;
    ASSERT_EQ(base64_decode(tool_base64(bytes, 64)), bytes) << "64-character lines, length " << n;
    ASSERT_EQ(base64_decode(tool_base64(bytes, 0)), bytes) << "one line, length " << n;
  }
}

TEST(Base64, DecoderSkipsWhatIsNotBase64) {
  EXPECT_EQ(base64_decode("YW\r\nJj"), "abc");
  EXPECT_EQ(base64_decode("YW Jj\n"), "abc");
  EXPECT_EQ(base64_decode("YWI=\r\nignored"), "ab");
  EXPECT_EQ(base64_decode("YQ"), "a");      // padding left out
  EXPECT_EQ(base64_decode("Y"), "");        // six bits make no byte
  EXPECT_EQ(base64_decode("\xC3\xA9YWJj"), "abc");
  EXPECT_EQ(base64_decode(""), "");
}

TEST(Base64, LargeBufferRoundTrip) {
  std::string bytes = random_bytes(1 << 20, 99);
  std::string text = base64_encode_lines(bytes);
  EXPECT_EQ(text, in_our_layout(tool_base64(bytes, 76), bytes.size()));
  EXPECT_EQ(base64_decode(text), bytes);
}

}  // namespace
}  // namespace qz
