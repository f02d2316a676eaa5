#include "services/registry/registry_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "com/convert.h"
#include "com/error.h"
#include "registry_test_folder.h"

namespace qz {
namespace {

class RegistryObjectTest : public ::testing::Test {
 protected:
  Variant read(std::u16string_view path) { return reg->call(u"RegRead", {Variant(path)}); }
  void write(std::u16string_view path, Variant value, Variant type = Variant::missing()) {
    reg->call(u"RegWrite", {Variant(path), value, type});
  }
  void remove(std::u16string_view path) { reg->call(u"RegDelete", {Variant(path)}); }
  int error_of(const std::function<void()>& f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }

  TempConfigHome home;
  Ref<Object> reg = new_registry_object();
};

TEST_F(RegistryObjectTest, ValuesKeepTheirTypeThroughTheStore) {
  write(u"HKCU\\Software\\Test\\Text", Variant(u"hello"));
  write(u"HKCU\\Software\\Test\\Typed", Variant(int32_t{12}), Variant(u"reg_sz"));
  write(u"HKCU\\Software\\Test\\Path", Variant(u"%HOME%/x"), Variant(u"REG_EXPAND_SZ"));
  write(u"HKCU\\Software\\Test\\Count", Variant(u"42"), Variant(u"REG_DWORD"));
  write(u"HKCU\\Software\\Test\\AllBits", Variant(4294967295.0), Variant(u"REG_DWORD"));
  write(u"HKCU\\Software\\Test\\Bytes", Variant::from_vector({Variant(int16_t{1}), Variant(int16_t{255})}),
        Variant(u"REG_BINARY"));
  write(u"HKCU\\Software\\Test\\Word", Variant(int32_t{0x01020304}), Variant(u"REG_BINARY"));
  write(u"HKCU\\Software\\Test\\", Variant(u"default"));

  Variant v = read(u"hkcu\\SOFTWARE\\test\\text");
  EXPECT_TRUE(v.is_string());
  EXPECT_EQ(to_u16(v), u"hello");
  EXPECT_EQ(to_u16(read(u"HKEY_CURRENT_USER\\Software\\Test\\Typed")), u"12");
  EXPECT_EQ(to_u16(read(u"HKCU\\Software\\Test\\Path")), u"%HOME%/x");
  v = read(u"HKCU\\Software\\Test\\Count");
  EXPECT_EQ(v.type(), VT::Long);
  EXPECT_EQ(v.as_long(), 42);
  EXPECT_EQ(read(u"HKCU\\Software\\Test\\AllBits").as_long(), -1);
  v = read(u"HKCU\\Software\\Test\\Bytes");
  ASSERT_TRUE(v.is_array());
  ASSERT_EQ(v.as_array()->items.size(), 2u);
  EXPECT_EQ(v.as_array()->items[1].type(), VT::Byte);
  EXPECT_EQ(v.as_array()->items[1].as_byte(), 255);
  v = read(u"HKCU\\Software\\Test\\Word");
  ASSERT_EQ(v.as_array()->items.size(), 4u);
  EXPECT_EQ(v.as_array()->items[0].as_byte(), 4);
  EXPECT_EQ(to_u16(read(u"HKCU\\Software\\Test\\")), u"default");
}

TEST_F(RegistryObjectTest, FailuresAreSwallowedAndReadGivesEmpty) {
  write(u"HKCU\\Software\\Test\\Kept", Variant(u"kept"));
  // Bad paths, types and values change nothing and raise nothing.
  write(u"HKXX\\Software\\Bad", Variant(u"x"));
  write(u"HKCU\\Software\\Test\\Kept", Variant(u"x"), Variant(u"REG_NOSUCH"));
  write(u"HKCU\\Software\\Test\\Kept", Variant(u"not a number"), Variant(u"REG_DWORD"));
  write(u"HKCU\\Software\\Test\\Kept", Variant(8589934592.0), Variant(u"REG_DWORD"));
  write(u"HKCU\\Software\\Test\\Kept", Variant(u"text"), Variant(u"REG_BINARY"));
  write(u"HKCU\\Software\\Test\\Kept", Variant::null());
  EXPECT_EQ(to_u16(read(u"HKCU\\Software\\Test\\Kept")), u"kept");

  EXPECT_TRUE(read(u"HKCU\\Software\\Test\\Missing").is_empty());
  EXPECT_TRUE(read(u"HKCU\\Software\\NoKey\\Value").is_empty());
  EXPECT_TRUE(read(u"HKCU\\Software\\Test\\").is_empty());  // key without a default value
  EXPECT_TRUE(read(u"nonsense").is_empty());
  remove(u"HKCU\\Software\\Test\\Missing");
  remove(u"HKCU\\Software\\NoKey\\");
  remove(u"HKCU\\");

  // A damaged store: reads give Empty, writes leave the file alone.
  std::string file = home.registry() + "HKEY_CURRENT_USER";
  std::ofstream(file, std::ios::trunc) << "garbage";
  EXPECT_TRUE(read(u"HKCU\\Software\\Test\\Kept").is_empty());
  write(u"HKCU\\Software\\Test\\New", Variant(u"x"));
  std::ifstream in(file);
  std::string content((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(content, "garbage");
}

TEST_F(RegistryObjectTest, DeleteRemovesValuesAndOnlyKeysWithoutSubKeys) {
  write(u"HKCU\\Software\\Tree\\Leaf\\v", Variant(u"1"));
  write(u"HKCU\\Software\\Tree\\w", Variant(u"2"));
  remove(u"HKCU\\Software\\Tree\\");  // has a sub-key: stays
  EXPECT_EQ(to_u16(read(u"HKCU\\Software\\Tree\\w")), u"2");
  remove(u"HKCU\\software\\tree\\W");
  EXPECT_TRUE(read(u"HKCU\\Software\\Tree\\w").is_empty());
  remove(u"HKCU\\Software\\Tree\\Leaf\\");
  EXPECT_TRUE(read(u"HKCU\\Software\\Tree\\Leaf\\v").is_empty());
  remove(u"HKCU\\Software\\Tree\\");
  write(u"HKCU\\Software\\Tree\\Leaf\\v2", Variant(u"3"));  // the key can be made again
  EXPECT_EQ(to_u16(read(u"HKCU\\Software\\Tree\\Leaf\\v2")), u"3");
}

TEST_F(RegistryObjectTest, SettingsAreConsistentAndTheirFailuresRaise) {
  auto save = [&](Variant app, Variant section, Variant key, Variant value) {
    reg->call(u"regSaveSetting", {app, section, key, value});
  };
  auto get = [&](std::u16string_view app, std::u16string_view section, std::u16string_view key) {
    return reg->call(u"regGetSetting", {Variant(app), Variant(section), Variant(key)});
  };
  save(Variant(u"MyApp"), Variant(u"Window"), Variant(u"Left"), Variant(int32_t{120}));
  save(Variant(u"MyApp"), Variant(u"Window"), Variant(u"Top"), Variant(u"80"));
  save(Variant(u"MyApp"), Variant(u"Recent"), Variant(u"File1"), Variant(u"a.txt"));
  Variant left = get(u"myapp", u"WINDOW", u"left");
  EXPECT_TRUE(left.is_string());
  EXPECT_EQ(to_u16(left), u"120");
  EXPECT_EQ(to_u16(get(u"MyApp", u"Window", u"Width")), u"");
  EXPECT_EQ(to_u16(get(u"Other", u"Window", u"Left")), u"");
  // The settings are ordinary registry values too.
  EXPECT_EQ(to_u16(reg->call(u"RegRead", {Variant(u"HKCU\\Software\\Quazel\\Settings\\MyApp\\Window\\Top")})), u"80");

  reg->call(u"regDeleteSetting", {Variant(u"MyApp"), Variant(u"Window"), Variant(u"Left")});
  EXPECT_EQ(to_u16(get(u"MyApp", u"Window", u"Left")), u"");
  EXPECT_EQ(to_u16(get(u"MyApp", u"Window", u"Top")), u"80");
  EXPECT_EQ(error_of([&] { reg->call(u"regDeleteSetting", {Variant(u"MyApp"), Variant(u"Window"), Variant(u"Left")}); }),
            kErrIllegalCall);
  EXPECT_EQ(error_of([&] { reg->call(u"regDeleteSetting", {Variant(u"NoApp"), Variant(u"S"), Variant(u"K")}); }),
            kErrIllegalCall);
  // Without the key name the whole section goes.
  reg->call(u"regDeleteSetting", {Variant(u"MyApp"), Variant(u"Window")});
  EXPECT_EQ(to_u16(get(u"MyApp", u"Window", u"Top")), u"");
  EXPECT_EQ(to_u16(get(u"MyApp", u"Recent", u"File1")), u"a.txt");

  EXPECT_EQ(error_of([&] { save(Variant(u""), Variant(u"S"), Variant(u"K"), Variant(u"v")); }), kErrIllegalCall);
  EXPECT_EQ(error_of([&] { save(Variant(u"A"), Variant(u"S\\"), Variant(u"K"), Variant(u"v")); }), kErrIllegalCall);
  EXPECT_EQ(error_of([&] { save(Variant(u"A"), Variant(u"S"), Variant(u"K"), Variant::null()); }), kErrInvalidNull);
  EXPECT_EQ(error_of([&] { get(u"A", u"", u"K"); }), kErrIllegalCall);

  std::ofstream(home.registry() + "HKEY_CURRENT_USER", std::ios::trunc) << "garbage";
  EXPECT_EQ(error_of([&] { get(u"MyApp", u"Recent", u"File1"); }), 75);
  EXPECT_EQ(error_of([&] { save(Variant(u"MyApp"), Variant(u"Recent"), Variant(u"File1"), Variant(u"b")); }), 75);
}

}  // namespace
}  // namespace qz
