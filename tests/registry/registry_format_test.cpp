#include "services/registry/registry_file_format.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

RegValue text_value(std::u16string name, std::u16string text, RegType type = RegType::Sz) {
  RegValue v;
  v.name = std::move(name);
  v.type = type;
  v.text = std::move(text);
  return v;
}

TEST(RegistryFormat, EveryValueSurvivesTheRoundTrip) {
  RegHive hive;
  RegKey& k = hive.ensure(u"Software\\Приложение\\Sub");
  k.put(text_value(u"", u"default"));
  k.put(text_value(u"tabs\tand\nlines", u"a\tb\r\nc%d"));
  k.put(text_value(u"lone", std::u16string(u"x\xD800y\xDC00z\U0001F600", 6)));
  k.put(text_value(u"exp", u"%HOME%\\bin", RegType::ExpandSz));
  RegValue d;
  d.name = u"count";
  d.type = RegType::Dword;
  d.number = 4294967295u;
  k.put(d);
  RegValue b;
  b.name = u"bin";
  b.type = RegType::Binary;
  b.bytes = std::string("\x00\xff\x10", 3);
  k.put(b);
  RegValue empty_bin;
  empty_bin.name = u"nothing";
  empty_bin.type = RegType::Binary;
  hive.ensure(u"Other").put(empty_bin);
  hive.ensure(u"").put(text_value(u"at root", u"r"));

  std::string text = format_reg_hive(hive);
  RegHive back;
  std::string error;
  ASSERT_TRUE(parse_reg_hive(text, back, error)) << error << "\n" << text;
  ASSERT_EQ(back.keys().size(), hive.keys().size());
  for (const auto& [folded, key] : hive.keys()) {
    const RegKey* other = back.find(key.path);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->path, key.path);
    ASSERT_EQ(other->values.size(), key.values.size());
    for (size_t i = 0; i < key.values.size(); ++i) {
      EXPECT_EQ(other->values[i].name, key.values[i].name);
      EXPECT_EQ(other->values[i].type, key.values[i].type);
      EXPECT_EQ(other->values[i].text, key.values[i].text);
      EXPECT_EQ(other->values[i].number, key.values[i].number);
      EXPECT_EQ(other->values[i].bytes, key.values[i].bytes);
    }
  }
  // Readable: the Cyrillic key name is plain UTF-8 in the file.
  EXPECT_NE(text.find("Software\\Приложение\\Sub"), std::string::npos);
}

TEST(RegistryFormat, DamagedFilesAreRefusedWithTheLine) {
  const std::string head = "quazel-registry 1\n";
  struct Case {
    std::string bytes;
    std::string_view why;
  } cases[] = {
      {"", "empty"},
      {"something else\n", "not a registry"},
      {head + "value\tn\tsz\tx\n", "line 2: value record before"},
      {head + "key\ta\nvalue\tn\tsz\n", "line 3: bad value"},
      {head + "key\ta\nvalue\tn\tqword\t1\n", "bad value"},
      {head + "key\ta\nvalue\tn\tdword\t4294967296\n", "bad value"},
      {head + "key\ta\nvalue\tn\tdword\t-1\n", "bad value"},
      {head + "key\ta\nvalue\tn\tdword\t\n", "bad value"},
      {head + "key\ta\nvalue\tn\tbinary\t0g\n", "bad value"},
      {head + "key\ta\nvalue\tn\tbinary\t012\n", "bad value"},
      {head + "key\ta\nvalue\tn\tsz\t%4\n", "bad value"},
      {head + "key\ta\nvalue\tn\tsz\t%u12\n", "bad value"},
      {head + "key\ta\nvalue\tn\tsz\t\xC3\n", "bad value"},
      {head + "key\ta\nvalue\tn\tsz\tx\nvalue\tN\tsz\ty\n", "value recorded twice"},
      {head + "key\ta\\\\b\n", "bad key path"},
      {head + "key\t\\a\n", "bad key path"},
      {head + "key\ta\nkey\tA\n", "key recorded twice"},
      {head + "key\ta\textra\n", "bad key record"},
      {head + "keys\ta\n", "unknown record"},
  };
  for (const auto& c : cases) {
    RegHive hive;
    std::string error;
    EXPECT_FALSE(parse_reg_hive(c.bytes, hive, error)) << c.bytes;
    EXPECT_NE(error.find(c.why), std::string::npos) << c.bytes << " -> " << error;
  }
}

TEST(RegistryFormat, AParentRecordedAfterItsChildKeepsItsOwnCase) {
  RegHive hive;
  std::string error;
  ASSERT_TRUE(parse_reg_hive("quazel-registry 1\nkey\tApp\\Sub\nkey\tAPP\nvalue\tv\tdword\t7\n", hive, error)) << error;
  ASSERT_NE(hive.find(u"app"), nullptr);
  EXPECT_EQ(hive.find(u"app")->path, u"APP");
  EXPECT_EQ(hive.find(u"app")->find(u"V")->number, 7u);
}

TEST(RegistryHive, KeysAreFoundWithoutRegardToCaseAndKeepTheirCase) {
  RegHive hive;
  hive.ensure(u"Software\\MyApp\\Sub");
  ASSERT_NE(hive.find(u"SOFTWARE\\myapp"), nullptr);
  EXPECT_EQ(hive.find(u"software\\myapp")->path, u"Software\\MyApp");
  EXPECT_TRUE(hive.has_subkeys(u"software"));
  EXPECT_FALSE(hive.has_subkeys(u"software\\myapp\\sub"));
  // Not a sub-key: shares only a name prefix.
  hive.ensure(u"Software\\MyAppX");
  EXPECT_FALSE(hive.remove(u"software\\myapp", false));
  EXPECT_TRUE(hive.remove(u"software\\myapp", true));
  EXPECT_EQ(hive.find(u"software\\myapp\\sub"), nullptr);
  EXPECT_NE(hive.find(u"software\\myappx"), nullptr);
  EXPECT_FALSE(hive.remove(u"", true));

  RegKey& k = hive.ensure(u"K");
  k.put(text_value(u"Name", u"1"));
  k.put(text_value(u"NAME", u"2"));
  ASSERT_EQ(k.values.size(), 1u);
  EXPECT_EQ(k.values[0].name, u"Name");
  EXPECT_EQ(k.values[0].text, u"2");
}

}  // namespace
}  // namespace qz
