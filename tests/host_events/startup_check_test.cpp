// The engine version check compares versions number by number.
#include <gtest/gtest.h>

#include "host/startup_check.h"

namespace qz {
namespace {

TEST(StartupCheck, VersionTexts) {
  struct {
    const char16_t* engine;
    const char16_t* host;
    bool usable;
  } cases[] = {
      {u"8.0.5", u"8.0.5", true},  {u"8.0.0", u"8.0.5", false}, {u"8.0.10", u"8.0.5", true},
      {u"8.0.5", u"8.0.10", false}, {u"10.0.0", u"9.9.9", true}, {u"9.0.0", u"8.0.5", true},
      {u"8.0", u"8.0.0", true},    {u"8.0", u"8.0.1", false},   {u"", u"8.0.5", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine_version_usable(c.engine, c.host), c.usable) << std::string(c.engine, c.engine + std::char_traits<char16_t>::length(c.engine));
}

TEST(StartupCheck, MessageNamesBothVersionsInTheUsersLanguage) {
  std::u16string en = unusable_engine_message(1033, u"6.9.1", u"");
  EXPECT_NE(en.find(u"6.9.1"), std::u16string::npos);
  EXPECT_NE(en.find(host_version_text()), std::u16string::npos);
  std::u16string ru = unusable_engine_message(1049, u"", u"/x/libquazel.so: no such file");
  EXPECT_NE(ru.find(u"не найдена"), std::u16string::npos);
  EXPECT_NE(ru.find(u"/x/libquazel.so: no such file"), std::u16string::npos);
}

}  // namespace
}  // namespace qz
