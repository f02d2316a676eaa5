#include <unistd.h>

#include "com/convert.h"
#include "file_fixture.h"
#include "services/file/file_search.h"

namespace qz {
namespace {

class FileSearchTest : public TempTree {
 protected:
  void SetUp() override {
    TempTree::SetUp();
    mkdir("b");
    mkdir("a");
    mkdir("a/deep");
    write("top.txt", "");
    write("a/one.txt", "");
    write("a/deep/two.txt", "");
    write("a/skip.bin", "");
    write("b/three.TXT", "");
  }
  std::vector<std::u16string> texts(const Variant& v) {
    std::vector<std::u16string> out;
    if (!v.is_array()) return out;
    for (const Variant& item : v.as_array()->items) out.push_back(to_u16(item).substr(sp("").size()));
    return out;
  }
  Ref<FileSearch> s = make_ref<FileSearch>();
};

TEST_F(FileSearchTest, FilesComeDepthFirstWithEachFoldersOwnFilesFirst) {
  Variant r = s->find(sp(""), u"*.txt", u"*", true, true);
  EXPECT_EQ(texts(r), (std::vector<std::u16string>{u"top.txt", u"a/one.txt", u"a/deep/two.txt", u"b/three.TXT"}));
}

TEST_F(FileSearchTest, FoldersWithoutTrailingSeparatorAndOneLevel) {
  EXPECT_EQ(texts(s->find(sp(""), u"*", u"*", false, true)), (std::vector<std::u16string>{u"a", u"a/deep", u"b"}));
  s->clear();
  EXPECT_EQ(texts(s->find(sp(""), u"*.txt", u"*", true, false)), (std::vector<std::u16string>{u"top.txt"}));
}

TEST_F(FileSearchTest, NothingMatchingTheFolderPatternGivesEmptyAndNoFiles) {
  Variant r = s->find(sp(""), u"*.txt", u"zzz*", true, true);
  EXPECT_TRUE(r.is_empty());
  EXPECT_FALSE(is_allocated_array(r));
  EXPECT_FALSE(is_allocated_array(s->list()));
}

// A folder given with "\\" separators comes back with "/" only, never a mix.
TEST_F(FileSearchTest, FoundPathsUseOneSeparator) {
  std::u16string back = sp("");
  for (char16_t& c : back)
    if (c == u'/') c = u'\\';
  Variant r = s->find(back + u"a\\", u"*.txt", u"*", true, true);
  ASSERT_TRUE(r.is_array());
  for (const Variant& item : r.as_array()->items) EXPECT_EQ(to_u16(item).find(u'\\'), std::u16string::npos);
  EXPECT_EQ(texts(r), (std::vector<std::u16string>{u"a/one.txt", u"a/deep/two.txt"}));
}

TEST_F(FileSearchTest, SearchesAddUpUntilClear) {
  s->find(sp("a/"), u"*.txt", u"*", true, false);
  Variant r = s->find(sp("b/"), u"*.txt", u"*", true, false);
  EXPECT_EQ(texts(r), (std::vector<std::u16string>{u"a/one.txt", u"b/three.TXT"}));
  s->clear();
  EXPECT_EQ(texts(s->find(sp("b/"), u"*.txt", u"*", true, false)), (std::vector<std::u16string>{u"b/three.TXT"}));
  EXPECT_TRUE(is_allocated_array(s->list()));
}

TEST_F(FileSearchTest, ALinkBackUpTheTreeIsListedButNotEntered) {
  ASSERT_EQ(::symlink(root_.c_str(), os("a/up").c_str()), 0);
  Variant r = s->find(sp(""), u"*", u"*", false, true);
  EXPECT_EQ(texts(r), (std::vector<std::u16string>{u"a", u"a/deep", u"a/up", u"b"}));
}

}  // namespace
}  // namespace qz
