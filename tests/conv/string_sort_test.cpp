// The string sort: order, the two comparison modes, stability of short ranges and the inputs
// that break careless quicksorts (sorted, reversed, all equal, sizes around the cut-off).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "services/conv/string_sort.h"

namespace qz {
namespace {

std::vector<Str> strs(std::initializer_list<const char16_t*> items) {
  std::vector<Str> v;
  for (auto* s : items) v.emplace_back(s);
  return v;
}

std::vector<std::u16string> texts(const std::vector<Str>& v) {
  std::vector<std::u16string> out;
  for (const Str& s : v) out.push_back(s.u16());
  return out;
}

TEST(StringSort, ShortArraysKeepEqualTextsInOrder) {
  auto v = strs({u"b", u"A", u"a", u"B"});
  sort_strings(v, SortOrder::Ascending, SortCompare::Text);
  EXPECT_EQ(texts(v), (std::vector<std::u16string>{u"A", u"a", u"b", u"B"}));
  v = strs({u"b", u"A", u"a", u"B"});
  sort_strings(v, SortOrder::Ascending, SortCompare::Binary);
  EXPECT_EQ(texts(v), (std::vector<std::u16string>{u"A", u"B", u"a", u"b"}));
  v = strs({u"b", u"A", u"a", u"B"});
  sort_strings(v, SortOrder::Descending, SortCompare::Text);
  EXPECT_EQ(texts(v), (std::vector<std::u16string>{u"b", u"B", u"A", u"a"}));
  // Cyrillic folds too.
  v = strs({u"Яблоко", u"арбуз", u"Банан", u"ёж"});
  sort_strings(v, SortOrder::Ascending, SortCompare::Text);
  EXPECT_EQ(texts(v), (std::vector<std::u16string>{u"арбуз", u"Банан", u"Яблоко", u"ёж"}));
}

TEST(StringSort, NothingToDoForZeroOrOneElement) {
  std::vector<Str> none;
  sort_strings(none, SortOrder::Ascending, SortCompare::Text);
  EXPECT_TRUE(none.empty());
  auto one = strs({u"x"});
  sort_strings(one, SortOrder::Descending, SortCompare::Binary);
  EXPECT_EQ(texts(one), std::vector<std::u16string>{u"x"});
}

TEST(StringSort, BinaryModeOrdersByteStringsByTheirBytes) {
  const uint8_t ab[] = {'a', 'b', 'c'}, a[] = {'a', 'b'};
  std::vector<Str> v{Str::from_bytes(ab, 3), Str::from_bytes(a, 2), Str::from_bytes(ab, 1)};
  sort_strings(v, SortOrder::Ascending, SortCompare::Binary);
  EXPECT_EQ(v[0].byte_size(), 1u);
  EXPECT_EQ(v[1].byte_size(), 2u);
  EXPECT_EQ(v[2].byte_size(), 3u);
}

// Sizes below, at and above the insertion-sort cut-off, each in several arrangements, checked
// against a stable reference sort with the same comparison.
TEST(StringSort, MatchesAReferenceSortOnLargeAndAwkwardInputs) {
  std::mt19937 rng(7);
  auto check = [](std::vector<Str> v, SortOrder order, SortCompare mode, const char* what) {
    std::vector<Str> expected = v;
    std::stable_sort(expected.begin(), expected.end(), [&](const Str& x, const Str& y) {
      int c = compare_for_sort(x, y, mode);
      return order == SortOrder::Ascending ? c < 0 : c > 0;
    });
    sort_strings(v, order, mode);
    ASSERT_EQ(v.size(), expected.size());
    for (size_t i = 0; i < v.size(); ++i)
      ASSERT_EQ(compare_for_sort(v[i], expected[i], mode), 0) << what << " size " << v.size() << " at " << i;
  };
  for (size_t n : {60u, 61u, 62u, 63u, 200u, 1000u}) {
    std::vector<Str> random, sorted, reversed, equal, few;
    for (size_t i = 0; i < n; ++i) {
      std::u16string s;
      for (int k = 0, len = 1 + static_cast<int>(rng() % 6); k < len; ++k) s.push_back(u"aAbBcCяЯ"[rng() % 8]);
      random.emplace_back(s);
      few.emplace_back(std::u16string(1, u"xXy"[rng() % 3]));
      equal.emplace_back(u"same");
    }
    sorted = random;
    std::sort(sorted.begin(), sorted.end(), [](const Str& x, const Str& y) { return compare_for_sort(x, y, SortCompare::Text) < 0; });
    reversed.assign(sorted.rbegin(), sorted.rend());
    for (SortOrder order : {SortOrder::Ascending, SortOrder::Descending}) {
      for (SortCompare mode : {SortCompare::Text, SortCompare::Binary}) {
        check(random, order, mode, "random");
        check(sorted, order, mode, "sorted");
        check(reversed, order, mode, "reversed");
        check(equal, order, mode, "equal");
        check(few, order, mode, "few values");
      }
    }
  }
}

TEST(StringSort, SortsAMillionEqualOrSortedStringsQuickly) {
  // A quadratic fallback on these inputs would take minutes.
  std::vector<Str> v(200000, Str(u"k"));
  sort_strings(v, SortOrder::Ascending, SortCompare::Text);
  std::vector<Str> w;
  for (int i = 0; i < 200000; ++i) w.emplace_back(std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u16(std::to_string(100000 + i).c_str()));
  sort_strings(w, SortOrder::Descending, SortCompare::Binary);
  for (size_t i = 1; i < w.size(); ++i) ASSERT_GE(compare_for_sort(w[i - 1], w[i], SortCompare::Binary), 0);
}

}  // namespace
}  // namespace qz
