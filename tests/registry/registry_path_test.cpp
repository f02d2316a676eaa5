#include "services/registry/registry_path.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

struct PathCase {
  std::u16string_view text;
  bool valid;
  RegRoot root;
  std::u16string_view key;
  std::u16string_view value;
  bool names_key;
};

TEST(RegistryPath, ParsesRootsKeysAndValues) {
  const PathCase cases[] = {
      {u"HKCU\\Software\\App\\Name", true, RegRoot::CurrentUser, u"Software\\App", u"Name", false},
      {u"hkey_current_user\\Software\\App\\", true, RegRoot::CurrentUser, u"Software\\App", u"", true},
      {u"HKLM\\Name", true, RegRoot::LocalMachine, u"", u"Name", false},
      {u"HKCR\\", true, RegRoot::ClassesRoot, u"", u"", true},
      {u"HKEY_USERS\\S\\v", true, RegRoot::Users, u"S", u"v", false},
      {u"HKEY_CURRENT_CONFIG\\a\\b\\c\\", true, RegRoot::CurrentConfig, u"a\\b\\c", u"", true},
      {u"HKCU\\Software\\App\\Value name with / slash", true, RegRoot::CurrentUser, u"Software\\App",
       u"Value name with / slash", false},
      {u"HKCU", false, {}, {}, {}, false},                 // no "\" after the root
      {u"HKXX\\Software\\", false, {}, {}, {}, false},     // unknown root
      {u"HKU\\Software\\", false, {}, {}, {}, false},      // HKEY_USERS has no short form
      {u"HKCU\\a\\\\b\\v", false, {}, {}, {}, false},      // empty key name inside
      {u"HKCU\\\\", false, {}, {}, {}, false},
      {u"", false, {}, {}, {}, false},
  };
  for (const auto& c : cases) {
    auto p = parse_reg_path(c.text);
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    ASSERT_EQ(p.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(p->root, c.root);
    EXPECT_EQ(p->key, c.key);
    EXPECT_EQ(p->value, c.value);
    EXPECT_EQ(p->names_key, c.names_key);
  }
}

}  // namespace
}  // namespace qz
