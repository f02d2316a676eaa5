// CRC-32 of buffers and files, and the script object that returns it as an unsigned Currency.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <fstream>
#include <random>

#include "com/convert.h"
#include "formats/byte_buffer.h"
#include "formats/crc32.h"
#include "platform/path.h"

namespace qz {
namespace {

std::string random_bytes(size_t n) {
  std::mt19937 gen(static_cast<unsigned>(n));
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

class TempBytes {
 public:
  explicit TempBytes(const std::string& bytes) {
    TempFile t = create_temp_file({}, "crc");
    ::close(t.fd);
    path = t.path;
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~TempBytes() { ::unlink(path.c_str()); }
  std::string path;
};

TEST(Crc32, KnownValues) {
  EXPECT_EQ(crc32_of("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32_of(""), 0u);
  EXPECT_EQ(crc32_of(std::string(1, '\0')), 0xD202EF8Du);
}

TEST(Crc32, FileInChunksEqualsBuffer) {
  for (size_t n : {0, 1, 65535, 65536, 65537, 200000}) {
    std::string bytes = random_bytes(n);
    TempBytes f(bytes);
    std::optional<uint32_t> crc = crc32_of_file(f.path);
    ASSERT_TRUE(crc.has_value());
    EXPECT_EQ(*crc, crc32_of(bytes)) << n;
    EXPECT_EQ(*crc, static_cast<uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n))));
  }
  EXPECT_FALSE(crc32_of_file("/nonexistent/file").has_value());
  EXPECT_FALSE(crc32_of_file("/tmp").has_value());
}

TEST(Crc32, ScriptObjectGivesUnsignedCurrency) {
  Ref<Object> crc = new_crc32_object();
  // CRC of "123456789" is above 2^31: a Long would show it negative.
  std::vector<Variant> items;
  for (char c : std::string("123456789")) items.emplace_back(static_cast<int32_t>(c));
  Variant r = crc->call(u"Buffer", {Variant::from_vector(items)});
  ASSERT_EQ(r.type(), VT::Currency);
  EXPECT_EQ(r.as_currency(), int64_t{0xCBF43926} * 10000);

  EXPECT_EQ(crc->call(u"Buffer", {Variant::from_vector({})}).as_currency(), 0);
  EXPECT_EQ(crc->call(u"Buffer", {Variant(u"not an array")}).as_currency(), 0);

  TempBytes f("123456789");
  EXPECT_EQ(crc->call(u"File", {Variant(script_path(f.path))}).as_currency(), int64_t{0xCBF43926} * 10000);
  EXPECT_EQ(crc->call(u"File", {Variant(u"/nonexistent/x")}).as_currency(), 0);
}

TEST(ByteBuffer, ElementsThatDoNotConvertGiveZero) {
  std::vector<Variant> items{Variant(int32_t{65}), Variant(int32_t{300}), Variant(u"66"), Variant(u"x"),
                             Variant::null(), Variant(uint8_t{255})};
  EXPECT_EQ(bytes_of_array(Variant::from_vector(items)), std::string("A\0B\0\0\xFF", 6));
  EXPECT_EQ(bytes_of_array(Variant::byte_array("hi", 2)), "hi");
  EXPECT_EQ(bytes_of_array(Variant(int32_t{5})), "");
  // A lower bound above 0: elements below it read as 0.
  Variant shifted = Variant::new_array({{2, 2}});
  shifted.array_mut()->items[0] = Variant(int32_t{1});
  shifted.array_mut()->items[1] = Variant(int32_t{2});
  EXPECT_EQ(bytes_of_array(shifted), std::string("\0\0\x01\x02", 4));

  Variant back = variant_byte_array("AB");
  ASSERT_TRUE(back.is_array());
  EXPECT_EQ(back.as_array()->items[1].type(), VT::Byte);
  EXPECT_EQ(back.as_array()->items[1].as_byte(), 'B');
}

}  // namespace
}  // namespace qz
