// sys.NativeRes on files: what each member writes, what it keeps, and how it fails.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "com/convert.h"
#include "com/error.h"
#include "formats/byte_buffer.h"
#include "formats/pe/le_bytes.h"
#include "formats/pe/native_res_object.h"
#include "formats/pe/resource_edits.h"
#include "formats/pe/string_table.h"
#include "pe_fixtures.h"
#include "platform/path.h"

namespace qz::pe {
namespace {

class NativeRes : public ::testing::Test {
 protected:
  void SetUp() override {
    exe = dir.path / "app.exe";
    test::write_bytes(exe, test::fixture("pe32_rsrc_last.exe"));
    test::write_bytes(dir.path / "icon3.ico", test::fixture("icon3.ico"));
  }
  Variant path(const std::string& name) { return Variant(script_path((dir.path / name).string())); }
  Variant call(std::u16string_view member, std::vector<Variant> args) { return res->call(member, std::move(args)); }
  // The run-time error number a call raises, 0 when none.
  int error_of(std::u16string_view member, std::vector<Variant> args) {
    try {
      call(member, std::move(args));
      return 0;
    } catch (const ScriptError& e) {
      return e.number;
    }
  }
  std::string resource(uint16_t type, ResourceId name, uint16_t lang = 0) {
    std::string error;
    auto r = get_resource(test::read_bytes(exe), ResourceId::number(type), name, lang, error);
    EXPECT_TRUE(r) << error;
    return r ? *r : std::string();
  }
  bool has_resource(uint16_t type, uint16_t name, uint16_t lang) {
    std::string error;
    auto set = read_resources(test::read_bytes(exe), error);
    return set && set->find(ResourceId::number(type), ResourceId::number(name), lang);
  }

  test::TempDir dir;
  std::filesystem::path exe;
  Ref<Object> res = new_nativeres_object();
};

TEST_F(NativeRes, UpdateStringKeepsTheOtherEntriesOfItsBlock) {
  for (auto [n, s] : {std::pair{0, u"first"}, {15, u"fifteen"}, {16, u"next block"}})
    EXPECT_EQ(to_long(call(u"UpdateString", {path("app.exe"), Variant(int32_t(n)), Variant(s), Variant(int32_t{0})})), 0);
  StringBlock b1 = parse_string_block(resource(6, ResourceId::number(1)));
  EXPECT_EQ(b1[0], u"first");
  EXPECT_EQ(b1[3], u"три");  // untouched, outside the ANSI page too
  EXPECT_EQ(b1[15], u"fifteen");
  StringBlock b2 = parse_string_block(resource(6, ResourceId::number(2)));
  EXPECT_EQ(b2[0], u"next block");
  for (size_t i = 1; i < 16; ++i) EXPECT_TRUE(b2[i].empty());
  // An empty text in a block that does not exist: sixteen counts of 0.
  call(u"UpdateString", {path("app.exe"), Variant(int32_t{48}), Variant(u""), Variant(int32_t{0})});
  EXPECT_EQ(resource(6, ResourceId::number(4)), std::string(32, '\0'));
  EXPECT_EQ(error_of(u"UpdateString", {path("app.exe"), Variant(int32_t{-1}), Variant(u"x"), Variant(int32_t{0})}),
            kErrIllegalCall);
}

TEST_F(NativeRes, UpdateMainIconReplacesTheGroupAndItsImagesInPlace) {
  const std::string ico = test::fixture("icon3.ico");
  const std::string old_fourth = resource(3, ResourceId::number(30004));
  call(u"UpdateMainIcon", {path("app.exe"), path("icon3.ico"), Variant(int32_t{30001}), Variant(int32_t{1}),
                           Variant(int32_t{0})});
  std::string group = resource(14, ResourceId::number(1));
  ASSERT_EQ(group.size(), 6u + 14 * 3);
  EXPECT_EQ(group.substr(0, 6), ico.substr(0, 6));  // idType as the file says
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(group.substr(6 + 14 * i, 12), ico.substr(6 + 16 * i, 12));
    EXPECT_EQ(get16(group, 6 + 14 * i + 12), 30001 + i);
    EXPECT_EQ(resource(3, ResourceId::number(30001 + i)), ico.substr(get32(ico, 6 + 16 * i + 12), get32(ico, 6 + 16 * i + 8)));
  }
  EXPECT_EQ(resource(3, ResourceId::number(30004)), old_fourth);  // surplus image stays

  const std::string before = test::read_bytes(exe);
  test::write_bytes(dir.path / "empty.ico", std::string("\0\0\1\0\0\0", 6));
  test::write_bytes(dir.path / "cut.ico", test::fixture("icon3.ico").substr(0, 60));
  struct { const char* file; int32_t start; int error; } failures[] = {
      {"none.ico", 1, kErrFileNotFound}, {"empty.ico", 1, kErrIllegalCall},
      {"cut.ico", 1, kErrIllegalCall},   {"icon3.ico", 32766, kErrOverflow}};
  for (auto f : failures) {
    SCOPED_TRACE(f.file);
    EXPECT_EQ(error_of(u"UpdateMainIcon", {path("app.exe"), path(f.file), Variant(f.start), Variant(int32_t{1}),
                                           Variant(int32_t{0})}),
              f.error);
  }
  EXPECT_EQ(test::read_bytes(exe), before);
}

TEST_F(NativeRes, GetAndPutResourceWithTextAndNumberNames) {
  Variant buf(u"unchanged");
  call(u"GetResource", {Variant::by_ref(&buf), path("app.exe"), Variant(int32_t{10}), Variant(u"hello"), Variant(int32_t{0})});
  EXPECT_EQ(bytes_of_array(buf), "hello world");
  EXPECT_EQ(buf.deref().as_array()->items[0].type(), VT::Byte);

  Variant data = variant_byte_array("abc");
  call(u"PutResource", {Variant::by_ref(&data), path("app.exe"), Variant(int32_t{10}), Variant(u"MyName"),
                        Variant(int32_t{0x0419}), Variant(false)});
  call(u"PutResource", {Variant::by_ref(&data), path("app.exe"), Variant(int32_t{10}), Variant(7.0),
                        Variant(int32_t{0}), Variant(false)});
  EXPECT_EQ(resource(10, ResourceId::text(u"MYNAME"), 0x0419), "abc");
  EXPECT_EQ(resource(10, ResourceId::number(7)), "abc");
  Variant got;
  call(u"GetResource", {Variant::by_ref(&got), path("app.exe"), Variant(int32_t{10}), Variant(u"#7"), Variant(int32_t{0})});
  EXPECT_EQ(bytes_of_array(got), "abc");

  // A missing resource: error 9, the buffer as it was.
  Variant keep(u"unchanged");
  EXPECT_EQ(error_of(u"GetResource", {Variant::by_ref(&keep), path("app.exe"), Variant(int32_t{10}), Variant(u"#99"),
                                      Variant(int32_t{0})}),
            kErrSubscript);
  EXPECT_EQ(to_u16(keep), u"unchanged");

  // Bad data: nothing written.
  const std::string before = test::read_bytes(exe);
  Variant empty = Variant::from_vector({});
  Variant big = Variant::from_vector({Variant(int32_t{1}), Variant(int32_t{300})});
  Variant word = Variant::from_vector({Variant(u"x")});
  EXPECT_EQ(error_of(u"PutResource", {Variant::by_ref(&empty), path("app.exe"), Variant(int32_t{10}), Variant(int32_t{1}),
                                      Variant(int32_t{0}), Variant(false)}),
            kErrSubscript);
  EXPECT_EQ(error_of(u"PutResource", {Variant::by_ref(&big), path("app.exe"), Variant(int32_t{10}), Variant(int32_t{1}),
                                      Variant(int32_t{0}), Variant(false)}),
            kErrOverflow);
  EXPECT_EQ(error_of(u"PutResource", {Variant::by_ref(&word), path("app.exe"), Variant(int32_t{10}), Variant(int32_t{1}),
                                      Variant(int32_t{0}), Variant(false)}),
            kErrTypeMismatch);
  EXPECT_EQ(test::read_bytes(exe), before);

  // bDelete: the one written resource only.
  call(u"PutResource", {Variant::by_ref(&data), path("app.exe"), Variant(int32_t{10}), Variant(int32_t{2}),
                        Variant(int32_t{0}), Variant(true)});
  std::string error;
  auto set = read_resources(test::read_bytes(exe), error);
  ASSERT_TRUE(set);
  EXPECT_EQ(set->items().size(), 1u);
}

TEST_F(NativeRes, PutResourceFromFile) {
  test::write_bytes(dir.path / "data.bin", "file bytes");
  test::write_bytes(dir.path / "empty.bin", "");
  call(u"PutResourceFromFile", {path("data.bin"), path("app.exe"), Variant(int32_t{23}), Variant(int32_t{5}),
                                Variant(int32_t{0}), Variant(false)});
  EXPECT_EQ(resource(23, ResourceId::number(5)), "file bytes");
  // A missing source is reported and the resource already there stays whole.
  const std::string before = test::read_bytes(exe);
  EXPECT_EQ(error_of(u"PutResourceFromFile", {path("none.bin"), path("app.exe"), Variant(int32_t{23}),
                                              Variant(int32_t{5}), Variant(int32_t{0}), Variant(false)}),
            kErrFileNotFound);
  EXPECT_EQ(test::read_bytes(exe), before);
  EXPECT_EQ(resource(23, ResourceId::number(5)), "file bytes");
  EXPECT_EQ(error_of(u"PutResourceFromFile", {path("empty.bin"), path("app.exe"), Variant(int32_t{23}),
                                              Variant(int32_t{7}), Variant(int32_t{0}), Variant(false)}),
            kErrSubscript);
}

// Failures that a platform update would have hidden are reported: the file is left as it was.
TEST_F(NativeRes, FilesThatCannotBeEditedRaiseAndStayUntouched) {
  test::write_bytes(dir.path / "text.exe", "MZ but nothing else");
  Variant data = variant_byte_array("abc");
  auto put = [&](const char* file) {
    return error_of(u"PutResource", {Variant::by_ref(&data), path(file), Variant(int32_t{10}), Variant(int32_t{1}),
                                     Variant(int32_t{0}), Variant(false)});
  };
  EXPECT_EQ(put("missing.exe"), kErrFileNotFound);
  EXPECT_EQ(put("text.exe"), kErrIllegalCall);
  EXPECT_EQ(test::read_bytes(dir.path / "text.exe"), "MZ but nothing else");
  EXPECT_EQ(error_of(u"PutResource", {Variant::by_ref(&data), path("app.exe"), Variant(int32_t{0}), Variant(int32_t{1}),
                                      Variant(int32_t{0}), Variant(false)}),
            kErrIllegalCall);  // type 0 is no resource type
}

TEST_F(NativeRes, UpdateVersionReadsThenWritesBesideTheTemplateBlock) {
  Variant tree = Variant::nothing();
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("app.exe"), Variant::by_ref(&tree), Variant(int32_t{1})})), 0);
  Collection* c = dynamic_cast<Collection*>(tree.as_object());
  ASSERT_TRUE(c);
  Variant table = *dynamic_cast<Collection*>(c->find(u"Tables")->as_object())->find(u"040904B0");
  Variant entry = *dynamic_cast<Collection*>(table.as_object())->find(u"FileDescription");
  call(u"ModifyMember", {Variant::by_ref(&entry), Variant(u"Value"), Variant(u"Edited")});
  call(u"ModifyMember", {Variant::by_ref(&tree), Variant(u"dwFileVersionLS"), Variant(int32_t{456})});
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("app.exe"), Variant::by_ref(&tree), Variant(int32_t{1})})), 0);
  EXPECT_TRUE(has_resource(16, 1, 0x0409));  // the old block stays beside the new neutral one
  EXPECT_TRUE(has_resource(16, 1, 0));

  Variant again;
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("app.exe"), Variant::by_ref(&again), Variant(int32_t{1})})), 0);
  Collection* a = dynamic_cast<Collection*>(again.as_object());
  EXPECT_EQ(to_long(*a->find(u"dwFileVersionLS")), 456);
  Variant t2 = *dynamic_cast<Collection*>(a->find(u"Tables")->as_object())->find(u"040904B0");
  Variant e2 = *dynamic_cast<Collection*>(t2.as_object())->find(u"FileDescription");
  EXPECT_EQ(to_u16(*dynamic_cast<Collection*>(e2.as_object())->find(u"Value")), u"Edited");

  // Failures: -1, the tree completed but empty.
  Variant none;
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("missing.exe"), Variant::by_ref(&none), Variant(int32_t{1})})), -1);
  EXPECT_EQ(dynamic_cast<Collection*>(none.as_object())->count(), 18u);
  Variant russian;
  call(u"UpdateVersion", {path("missing.exe"), Variant::by_ref(&russian), Variant(int32_t{1})});
  call(u"ModifyMember", {Variant::by_ref(&russian), Variant(u"FindLng"), Variant(int32_t{0x0419})});
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("app.exe"), Variant::by_ref(&russian), Variant(int32_t{1})})), -1);
  Variant other;
  EXPECT_EQ(to_long(call(u"UpdateVersion", {path("app.exe"), Variant::by_ref(&other), Variant(int32_t{2})})), -1);
}

}  // namespace
}  // namespace qz::pe
