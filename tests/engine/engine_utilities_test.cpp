// The engine's small shared helpers: path pieces and the 16-bit and currency conversions.
#include "engine/engine_utilities.h"

#include <gtest/gtest.h>

#include "com/error.h"

namespace qz {
namespace {

TEST(EngineUtilities, PathPieces) {
  EXPECT_EQ(file_name_part(u"C:\\dir\\a.qz", u"\\"), u"a.qz");
  EXPECT_EQ(path_part(u"C:\\dir\\a.qz", u"\\"), u"C:\\dir\\");
  EXPECT_EQ(file_name_part(u"a.qz", u"\\"), u"a.qz");
  EXPECT_EQ(path_part(u"a.qz", u"\\"), u"");
  EXPECT_EQ(file_name_part(u"/srv/x/y", u"/"), u"y");
}

TEST(EngineUtilities, SixteenBitChannelsAndUnsignedWords) {
  EXPECT_EQ(to_int16(65535), -1);
  EXPECT_EQ(to_int16(32768), -32768);
  EXPECT_EQ(to_int16(32767), 32767);
  EXPECT_EQ(to_int16(-32768), -32768);
  for (int32_t bad : {65536, -32769}) {
    try {
      to_int16(bad);
      ADD_FAILURE() << bad << " did not overflow";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.number, kErrOverflow);
    }
  }
  EXPECT_EQ(ulong_to_currency(-1), 4294967295LL * 10000);
  EXPECT_EQ(ulong_to_currency(5), 50000);
}

TEST(EngineUtilities, RandomNamesDifferAndUseTheAlphabet) {
  std::u16string a = random_name(), b = random_name();
  EXPECT_EQ(a.size(), 8u);
  EXPECT_NE(a, b);
  for (char16_t c : a) EXPECT_NE(std::u16string_view(u"qwertyuiopasdfghjklzxcvbnm0123456789").find(c), std::u16string_view::npos);
  EXPECT_EQ(temp_path().back(), u'/');
}

}  // namespace
}  // namespace qz
