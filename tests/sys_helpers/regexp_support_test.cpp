// The functions behind =~ and $n: flags, the last match set, and invalid patterns, which raise
// from every call and keep the last match set.
#include <gtest/gtest.h>

#include "com/error.h"
#include "runtime/helpers/regexp_support.h"

namespace qz {
namespace {


TEST(RegexpSupport, CompareFillsTheLastMatchSet) {
  rxp_reset();
  EXPECT_TRUE(rxp_last_match_set().is_object());
  EXPECT_EQ(rxp_last_match_set().as_object(), nullptr);
  EXPECT_TRUE(rxp_compare(u"abc", u"B", {true, false}));
  EXPECT_EQ(rxp_last_match_set().as_object()->get(u"Count").as_long(), 1);
  EXPECT_FALSE(rxp_compare(u"abc", u"B", {false, false}));
  EXPECT_EQ(rxp_last_match_set().as_object()->get(u"Count").as_long(), 0);
}

TEST(RegexpSupport, ReplaceHonoursGlobal) {
  EXPECT_EQ(rxp_replace(u"a1b2", u"\\d", u"#", {false, true}), u"a#b#");
  EXPECT_EQ(rxp_replace(u"a1b2", u"\\d", u"#", {false, false}), u"a#b2");
  EXPECT_EQ(rxp_replace(u"John Smith", u"(\\w+) (\\w+)", u"$2, $1", {false, false}), u"Smith, John");
  // The match set comes from the original text.
  EXPECT_EQ(rxp_param(1, 0), u"John");
}

TEST(RegexpSupport, ParamReadsGroupsOfMatches) {
  rxp_compare(u"key=val", u"(\\w+)=(\\w+)", {false, false});
  EXPECT_EQ(rxp_param(1, 0), u"key");
  EXPECT_EQ(rxp_param(2, 0), u"val");
  EXPECT_EQ(rxp_param(0, 0), u"key");
  EXPECT_EQ(rxp_param(3, 0), u"");
  EXPECT_EQ(rxp_param(1, 1), u"");
  EXPECT_EQ(rxp_param(1, -1), u"");
  rxp_execute(u"a1 b2 c3", u"([a-z])(\\d)", {false, true});
  EXPECT_EQ(rxp_param(2, 2), u"3");
  rxp_reset();
  EXPECT_EQ(rxp_param(1, 0), u"");
}

TEST(RegexpSupport, InvalidPatternRaisesAndKeepsTheLastSet) {
  rxp_compare(u"key=val", u"(\\w+)=(\\w+)", {false, false});
  for (int call = 0; call < 3; ++call) {
    try {
      if (call == 0) rxp_replace(u"text", u"(", u"x", {false, false});
      if (call == 1) rxp_compare(u"text", u"(", {false, false});
      if (call == 2) rxp_execute(u"text", u"(", {false, false});
      ADD_FAILURE() << "call " << call << " did not raise";
    } catch (const ScriptError& e) {
      EXPECT_TRUE(e.number >= 5016 && e.number <= 5022) << e.number;  // a regular-expression syntax error
    }
    EXPECT_EQ(rxp_param(2, 0), u"val") << "call " << call;
  }
}

}  // namespace
}  // namespace qz
