#include "host/cgi/url_encoded.h"

#include <gtest/gtest.h>

#include "host/cgi/name_value_lookup.h"

namespace qz::cgi {
namespace {

constexpr int k1252 = 1252;

TEST(UrlDecode, DecodingRules) {
  struct Case { std::u16string in, out; };
  const Case cases[] = {
      {u"%41", u"A"},
      {u"a+b+%2B", u"a b +"},         // "+" turns to a blank before %-decoding
      {u"%zz", u"%zz"},               // no hexadecimal digit: value 0, "%" stays
      {u"%00x", u"%00x"},
      {u"%4g", u"\x04"},              // one digit counts; the "g" is consumed with it
      {u"%252", u"%2"},               // a decoded "%" is not decoded again
      {u"%%41", u"%A"},
      {u"%E9t%E9", u"\u00E9t\u00E9"},  // one character per byte, through the ANSI table
      {u"%D0%90", u"\u00D0\u0090"},    // UTF-8 stays two bytes: two characters
      {u"%81%8D", u"\u0081\u008D"},    // bytes the page leaves free survive
      {u"%", u"%"},
      {u"%4", u"\x04"},
      {u"%a", u"\n"},
      {u"x%3Dy", u"x=y"},
  };
  for (const Case& c : cases) EXPECT_EQ(url_decode(c.in, k1252), c.out) << std::string(c.in.begin(), c.in.end());
  EXPECT_EQ(url_decode(u"%C0%FF", 1251), u"\u0410\u044F");
}

TEST(SplitFormPairs, SplitsAtEveryAmpersand) {
  struct Case { std::u16string in; std::vector<std::u16string> pairs; };
  const Case cases[] = {
      {u"a=1&&b=2", {u"a=1", u"", u"b=2"}},
      {u"a=1&", {u"a=1"}},
      {u"", {}},
      {u"&", {u""}},
      {u"k%3Dv=1%262", {u"k=v=1&2"}},  // whole pairs are decoded after splitting
  };
  for (const Case& c : cases) EXPECT_EQ(split_form_pairs(c.in, k1252), c.pairs);
}

TEST(SplitFormPairs, LongFormsKeepEveryPair) {
  // Far past 32,767 characters and pairs.
  std::u16string text;
  const int n = 40000;
  for (int i = 0; i < n; ++i) {
    std::string pair = "k" + std::to_string(i) + "=v%2B" + std::to_string(i) + "&";
    text.append(pair.begin(), pair.end());
  }
  std::vector<std::u16string> pairs = split_form_pairs(text, k1252);
  ASSERT_EQ(pairs.size(), static_cast<size_t>(n));
  EXPECT_EQ(pairs.back(), u"k39999=v+39999");
  EXPECT_EQ(lookup_value(pairs, u"k39999"), u"v+39999");
}

TEST(LookupValue, NameRules) {
  const std::vector<std::u16string> entries = {u"Path=/Usr/Bin", u"novalue", u"a=", u"ab=2", u"x=1", u"x=2",
                                               u"q=a=b"};
  struct Case { std::u16string name, value; };
  const Case cases[] = {
      {u"  path ", u"/Usr/Bin"},  // blanks around the name, any case; the value keeps its case
      {u"novalue", u""},          // an entry without "=" is never found
      {u"a", u""},
      {u"ab", u"2"},
      {u"x", u"1"},               // the first of repeated names
      {u"q", u"a=b"},
      {u"missing", u""},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(lookup_value(entries, c.name), c.value);
}

}  // namespace
}  // namespace qz::cgi
