// make with a PE template: title, icon and [resource] lines land in the program's resources,
// the script follows the end marker, and a damaged template is reported, not half-edited.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "com/convert.h"
#include "engine/make/make_builder.h"
#include "engine/make/standalone_layout.h"
#include "formats/pe/resource_edits.h"
#include "formats/pe/string_table.h"
#include "pe_fixtures.h"
#include "platform/path.h"

namespace qz::make {
namespace {

using pe::ResourceId;
namespace test = pe::test;

const std::string kScript = "Sub Load(a)\r\n  sys.Echo a\r\nEnd Sub\r\n";

class MakePe : public ::testing::Test {
 protected:
  void SetUp() override {
    test::write_bytes(dir.path / "host.exe", test::fixture("pe32plus_rsrc_middle.exe"));
    test::write_bytes(dir.path / "icon3.ico", test::fixture("icon3.ico"));
    test::write_bytes(dir.path / "data.txt", "resource file");
    test::write_bytes(dir.path / "app.qz", kScript);
    ctx.note = [this](const std::string& line) { notes.push_back(line); };
  }
  MakeResult make(const std::string& ini) {
    test::write_bytes(dir.path / "make.ini", ini);
    return build_from_make_ini(script_path((dir.path / "app.qz").string()), ctx);
  }
  // The program's image: its bytes before the end marker.
  std::string image() {
    std::string out = test::read_bytes(dir.path / "app.exe");
    size_t at = out.find(standalone::end_marker());
    EXPECT_NE(at, std::string::npos);
    return out.substr(0, at);
  }

  test::TempDir dir;
  MakeContext ctx;
  std::vector<std::string> notes;
};

Collection* member(Object* c, std::u16string_view key) {
  const Variant* v = dynamic_cast<Collection*>(c)->find(key);
  return v && v->is_object() ? dynamic_cast<Collection*>(v->as_object()) : nullptr;
}

TEST_F(MakePe, TitleIconVersionStringsAndResourcesReachThePeTemplate) {
  auto r = make(
      "[options]\r\ncompile=exe\r\nmodule=host.exe\r\ntitle=My Tool\r\nicon=icon3.ico\r\n"
      "[resource]\r\n"
      "version.set..Tables.040904B0.FileDescription = My program\r\n"
      "version.add..Tables.040904B0.PrivateBuild = nightly\r\n"
      "version.remove..Tables.040904B0.Comments = x\r\n"
      "version.....dwFileVersionLS = 99\r\n"
      "string..1033...12 = Twelve\r\n"
      "STRING.Remove....3 = x\r\n"
      "10.set.0...HELLO = data.txt\r\n"
      "10..0...7.4 = missing.txt\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(notes.empty()) << notes.front();
  const std::string img = image();
  std::string error;

  EXPECT_NE(img.find(std::string("My Tool\0ddSpaceTitle", 20)), std::string::npos);
  auto group = pe::get_resource(img, ResourceId::number(14), ResourceId::number(1), 0, error);
  ASSERT_TRUE(group) << error;
  EXPECT_EQ(group->size(), 6u + 14 * 3);

  Variant tree;
  ASSERT_EQ(pe::update_version(const_cast<std::string&>(img), tree, 1, error), pe::VersionOutcome::Read) << error;
  Collection* table = member(member(tree.as_object(), u"Tables"), u"040904B0");
  ASSERT_TRUE(table);
  EXPECT_EQ(to_u16(*member(table, u"FileDescription")->find(u"Value")), u"My program");
  EXPECT_EQ(to_u16(*member(table, u"PrivateBuild")->find(u"Value")), u"nightly");
  EXPECT_FALSE(table->find(u"Comments"));
  EXPECT_EQ(to_long(*dynamic_cast<Collection*>(tree.as_object())->find(u"dwFileVersionLS")), 99);

  auto block = pe::get_resource(img, ResourceId::number(6), ResourceId::number(1), 1033, error);
  ASSERT_TRUE(block) << error;
  EXPECT_EQ(pe::parse_string_block(*block)[12], u"Twelve");
  block = pe::get_resource(img, ResourceId::number(6), ResourceId::number(1), 0, error);
  ASSERT_TRUE(block);
  EXPECT_EQ(pe::parse_string_block(*block)[3], u"");      // removed: an empty entry
  EXPECT_EQ(pe::parse_string_block(*block)[15], u"last");  // the rest of the block kept
  EXPECT_EQ(*pe::get_resource(img, ResourceId::number(10), ResourceId::text(u"HELLO"), 0, error), "resource file");
  EXPECT_EQ(*pe::get_resource(img, ResourceId::number(10), ResourceId::number(7), 0, error), std::string(1, '\0'));

  std::string problem = test::objdump_problem(img);
  if (problem != "skip") {
    EXPECT_EQ(problem, "");
  }
  const std::string whole = test::read_bytes(dir.path / "app.exe");
  EXPECT_EQ(whole.substr(img.size() + standalone::end_marker().size()), test::read_bytes(dir.path / "app.qz"));
}

TEST_F(MakePe, LinesThatCannotApplyAreReportedAndTheRestApplies) {
  auto r = make(
      "[options]\r\ncompile=exe\r\nmodule=host.exe\r\n"
      "[resource]\r\n"
      "70000.set.0...1 = data.txt\r\n"
      "string..99999...1 = x\r\n"
      "10.set.0...5 = data.txt\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find("resource type out of range"), std::string::npos) << notes[0];
  EXPECT_NE(notes[1].find("language out of range"), std::string::npos) << notes[1];
  std::string error;
  EXPECT_TRUE(pe::get_resource(image(), ResourceId::number(10), ResourceId::number(5), 0, error));
}

TEST_F(MakePe, ADamagedPeTemplateIsCopiedWithANote) {
  std::string bad = test::fixture("pe32plus_rsrc_middle.exe");
  bad[0x84] = 'X';  // the PE signature
  bad.replace(0x80, 4, "PX\0\0", 4);
  test::write_bytes(dir.path / "host.exe", bad);
  auto r = make("[options]\r\ncompile=exe\r\nmodule=host.exe\r\nicon=icon3.ico\r\n[resource]\r\n10.set.0...5 = data.txt\r\n");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find("not a PE program we can edit"), std::string::npos) << notes[0];
  EXPECT_EQ(image(), bad);
}

}  // namespace
}  // namespace qz::make
