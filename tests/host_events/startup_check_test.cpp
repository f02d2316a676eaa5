// The engine version check compares versions number by number, and says in the user's
// language what is wrong.
#include <gtest/gtest.h>

#include "host/startup_check.h"

namespace qz {
namespace {

std::string narrow(const char16_t* s) { return std::string(s, s + std::char_traits<char16_t>::length(s)); }

TEST(StartupCheck, VersionsCompareNumberByNumber) {
  struct {
    const char16_t* engine;
    const char16_t* host;
    bool usable;
  } cases[] = {
      {u"8.0.5", u"8.0.5", true},   {u"8.0.0", u"8.0.5", false},  {u"8.0.10", u"8.0.5", true},
      {u"8.0.5", u"8.0.10", false}, {u"9.0.0", u"8.0.5", true},   {u"10.0.0", u"9.9.9", true},
      {u"8.0", u"8.0.0", true},     {u"8.0", u"8.0.1", false},    {u"8.1", u"8.0.99", true},
      {u"", u"8.0.5", false},       {u"8..5", u"8.0.5", false},   {u"8.0.5.", u"8.0.5", false},
      {u"8.0.x", u"8.0.5", false},  {u".", u"8.0.5", false},
      {u"99999999999999999999.0", u"8.0.5", false},  // not a version any engine has
  };
  for (const auto& c : cases) EXPECT_EQ(engine_version_usable(c.engine, c.host), c.usable) << narrow(c.engine);
}

TEST(StartupCheck, CompareGivesTheOrder) {
  EXPECT_EQ(compare_versions(u"8.0.10", u"8.0.5"), 1);
  EXPECT_EQ(compare_versions(u"8.0.5", u"8.0.10"), -1);
  EXPECT_EQ(compare_versions(u"7.0", u"7.0.0"), 0);
  EXPECT_EQ(compare_versions(u"7.0.0", u"7.a"), std::nullopt);
}

TEST(StartupCheck, MessageNamesBothVersionsInTheUsersLanguage) {
  std::u16string en = unusable_engine_message(1033, u"6.9.1", u"");
  EXPECT_NE(en.find(u"6.9.1"), std::u16string::npos);
  EXPECT_NE(en.find(host_version_text()), std::u16string::npos);
  std::u16string ru = unusable_engine_message(1049, u"", u"/x/libquazel.so: no such file");
  EXPECT_NE(ru.find(u"не найдена"), std::u16string::npos);
  EXPECT_NE(ru.find(u"/x/libquazel.so: no such file"), std::u16string::npos);

  EXPECT_NE(damaged_engine_message(1033, u"its CRC does not match").find(u"damaged (its CRC does not match)"),
            std::u16string::npos);
  EXPECT_NE(damaged_engine_message(1049, u"x").find(u"повреждена (x)"), std::u16string::npos);
}

}  // namespace
}  // namespace qz
