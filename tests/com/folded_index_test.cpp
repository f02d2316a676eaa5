// The case-blind name index behind member tables and the built-in names: names found in any
// case (Latin and Cyrillic), the first number of a name kept, nothing found for other names,
// and all of it still true after the index has grown many times.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "com/folded_index.h"

namespace qz {
namespace {

struct Names {
  std::vector<std::u16string> list;
  FoldedIndex index;
  auto name_of() const {
    return [this](int32_t i) { return std::u16string_view(list[static_cast<size_t>(i)]); };
  }
  int32_t add(std::u16string name) {
    list.push_back(std::move(name));
    return index.insert(list.back(), static_cast<int32_t>(list.size() - 1), name_of());
  }
  int32_t find(std::u16string_view name) const { return index.find(name, name_of()); }
};

TEST(FoldedIndexTest, FindsNamesInAnyCaseAndKeepsTheFirstNumber) {
  Names n;
  EXPECT_EQ(n.find(u"anything"), -1);   // empty
  EXPECT_EQ(n.add(u"Count"), 0);
  EXPECT_EQ(n.add(u"Привет"), 1);
  EXPECT_EQ(n.add(u"COUNT"), 0);        // the name has its number already
  struct Case { const char16_t* name; int32_t number; };
  const Case cases[] = {{u"count", 0},  {u"cOuNt", 0},  {u"пРИВЕТ", 1}, {u"ПРИВЕТ", 1},
                        {u"Coun", -1},  {u"Counts", -1}, {u"", -1},     {u"Привет!", -1}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(::testing::Message() << "case " << i);
    EXPECT_EQ(n.find(cases[i].name), cases[i].number);
  }
}

TEST(FoldedIndexTest, StaysRightAsItGrows) {
  Names n;
  n.index.reserve(3);
  for (int i = 0; i < 3000; ++i) {
    std::u16string name = u"Member";
    for (char ch : std::to_string(i)) name.push_back(static_cast<char16_t>(ch));
    ASSERT_EQ(n.add(name), i);
  }
  for (int i = 0; i < 3000; i += 7) {
    std::u16string name = u"mEMBER";
    for (char ch : std::to_string(i)) name.push_back(static_cast<char16_t>(ch));
    ASSERT_EQ(n.find(name), i);
  }
  EXPECT_EQ(n.find(u"member3000"), -1);
}

}  // namespace
}  // namespace qz
