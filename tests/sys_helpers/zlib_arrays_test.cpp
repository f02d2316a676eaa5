// CompressZLib and DecompressZLib on script arrays.
#include <gtest/gtest.h>

#include <random>

#include "formats/byte_buffer.h"
#include "runtime/helpers/zlib_arrays.h"

namespace qz {
namespace {

Variant array_of(const std::string& bytes) { return variant_byte_array(bytes); }

size_t count(const Variant& v) { return v.is_array() ? v.as_array()->items.size() : 999999; }

TEST(ZlibArrays, RoundTripGivesVariantByteArray) {
  std::mt19937 gen(5);
  std::string text;
  for (int i = 0; i < 5000; ++i) text.push_back(static_cast<char>('a' + gen() % 4));
  Variant packed = compress_byte_array(array_of(text));
  ASSERT_TRUE(packed.is_array());
  EXPECT_LT(count(packed), text.size());
  EXPECT_EQ(packed.as_array()->items[0].type(), VT::Byte);
  Variant unpacked = decompress_byte_array(packed, static_cast<int64_t>(text.size()));
  EXPECT_EQ(bytes_of_array(unpacked), text);
  // A Byte() array in gives a Variant array out, too.
  Variant from_bytes = compress_byte_array(Variant::byte_array(text.data(), text.size()));
  EXPECT_EQ(from_bytes.as_array()->elem, VT::Variant);
  EXPECT_EQ(bytes_of_array(decompress_byte_array(from_bytes, 5000)), text);
}

TEST(ZlibArrays, ElementOutOfRangeIsCompressedAsZero) {
  Variant v = Variant::from_vector({Variant(int32_t{1}), Variant(int32_t{300}), Variant(int32_t{3})});
  EXPECT_EQ(bytes_of_array(decompress_byte_array(compress_byte_array(v), 3)), std::string("\x01\x00\x03", 3));
}

TEST(ZlibArrays, FailuresGiveAnEmptyArray) {
  std::string text(1000, 'z');
  Variant packed = compress_byte_array(array_of(text));
  EXPECT_EQ(count(decompress_byte_array(packed, 999)), 0u) << "announced size too small";
  EXPECT_EQ(count(decompress_byte_array(packed, -1)), 0u);
  EXPECT_EQ(count(decompress_byte_array(array_of("this is no zlib stream"), 100)), 0u);
  // A size far beyond what the stream can hold allocates no such room and gives the data.
  EXPECT_EQ(bytes_of_array(decompress_byte_array(packed, 4000000000LL)), text);
  EXPECT_EQ(count(decompress_byte_array(packed, 5000000000LL)), 0u);
  EXPECT_EQ(count(decompress_byte_array(Variant(u"no array"), 10)), 0u);
}

TEST(ZlibArrays, TinyBuffers) {
  Variant none = compress_byte_array(Variant::from_vector({}));
  EXPECT_GT(count(none), 0u);  // a stream, even of nothing
  EXPECT_EQ(count(decompress_byte_array(none, 0)), 0u);
  Variant one = compress_byte_array(array_of("x"));
  EXPECT_EQ(bytes_of_array(decompress_byte_array(one, 1)), "x");
  EXPECT_EQ(count(decompress_byte_array(one, 0)), 0u);
  EXPECT_EQ(count(decompress_byte_array(array_of("x"), 1)), 0u);  // one byte is no stream
}

}  // namespace
}  // namespace qz
