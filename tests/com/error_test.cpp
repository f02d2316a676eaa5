// Script errors: standard texts, raise() and what().
#include <gtest/gtest.h>

#include <cstring>

#include "com/error.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::utf8;

ScriptError caught(void (*f)()) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e;
  }
  ADD_FAILURE() << "nothing raised";
  return ScriptError(0, u"", u"");
}

TEST(ErrorText, StandardNumbers) {
  struct Case {
    int32_t number;
    const char* text;
  };
  const Case cases[] = {
      {5, "Invalid procedure call or argument"},
      {13, "Type mismatch"},
      {94, "Invalid use of Null"},
      {429, "ActiveX component can't create object"},
      {450, "Wrong number of arguments or invalid property assignment"},
      {457, "This key is already associated with an element of this collection"},
      {1002, "Syntax error"},
      {1025, "Expected end of statement"},
      {1028, "Expected 'While', 'Until' or end of statement"},
      {1058, "'Default' specification can only be on Property Get"},
      {5021, "Invalid range in character set"},
      {32811, "Element not found"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(error_text(c.number)), c.text) << c.number;
  for (int32_t unknown : {0, 1, 8, 1004, 99999, -1}) EXPECT_TRUE(error_text(unknown).empty()) << unknown;
}

TEST(Raise, FillsTheStandardTextAndLeavesSourceEmpty) {
  ScriptError e = caught([] { raise(kErrTypeMismatch); });
  EXPECT_EQ(e.number, 13);
  EXPECT_EQ(utf8(e.description), "Type mismatch");
  EXPECT_TRUE(e.source.empty());
  EXPECT_STREQ(e.what(), "Type mismatch");

  e = caught([] { raise(99999); });
  EXPECT_EQ(e.number, 99999);
  EXPECT_EQ(utf8(e.description), "Unknown runtime error");

  e = caught([] { raise(5, u"Bad month"); });
  EXPECT_EQ(utf8(e.description), "Bad month");
  EXPECT_TRUE(e.source.empty());

  e = caught([] { raise(6, u""); });
  EXPECT_EQ(utf8(e.description), "Overflow");

  e = caught([] { raise(1000, u"MyLib", u"Custom"); });
  EXPECT_EQ(utf8(e.source), "MyLib");
  EXPECT_EQ(utf8(e.description), "Custom");
}

TEST(ScriptErrorWhat, IsUtf8) {
  ScriptError e(5, u"", u"\u041e\u0448\u0438\u0431\u043a\u0430");  // Cyrillic
  EXPECT_STREQ(e.what(), "\xd0\x9e\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0");
}

}  // namespace
}  // namespace qz
