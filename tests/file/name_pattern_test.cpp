#include <gtest/gtest.h>

#include "services/file/name_pattern.h"

namespace qz {
namespace {

TEST(NamePattern, MatchesLikeTheFindFunctions) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.*", "README", true},       {"*.*", ".", true},          {"*", "a.b.c", true},
      {"*.txt", "notes.TXT", true},  {"*.txt", "notes.txt.bak", false},
      {"a?c", "abc", true},          {"a?c", "ac", false},         {"a*c*e", "abxxcyye", true},
      {"a*c*e", "abxxcyyf", false},  {"data.*", "data", true},     {"data.*", "database", false},
      {"ПАПКА", "папка", true},      {"report", "REPORT", true},  {"report", "reports", false},
      {"*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
  };
  for (const Case& c : cases) EXPECT_EQ(name_matches(c.pattern, c.name), c.match) << c.pattern << " ~ " << c.name;
}

}  // namespace
}  // namespace qz
