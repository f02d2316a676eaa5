// Registry paths as scripts write them: a root key by its long or short name, the key path
// below it separated by "\", and either a value name after the last "\" or a trailing "\"
// that names the key itself (whose default value has the empty name).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qz {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The long name of a root key ("HKEY_CURRENT_USER"); also the name of its store file.
std::u16string_view reg_root_name(RegRoot root);
// HKEY_CURRENT_USER or HKCU, HKEY_LOCAL_MACHINE or HKLM, HKEY_CLASSES_ROOT or HKCR,
// HKEY_USERS, HKEY_CURRENT_CONFIG; any case.
std::optional<RegRoot> parse_reg_root(std::u16string_view name);

struct RegPath {
  RegRoot root = RegRoot::CurrentUser;
  std::u16string key;     // below the root, "\"-separated, no leading or trailing "\"; "" is the root
  std::u16string value;   // the value name; "" for the key's default value
  bool names_key = false; // the text ended with "\"
};

// nullopt for an unknown root, a missing "\" after the root, or an empty key name inside the
// path ("HKCU\a\\b").
std::optional<RegPath> parse_reg_path(std::u16string_view text);

// The path of `key` (relative to its root) joined with a sub-key name.
std::u16string reg_join(std::u16string_view key, std::u16string_view child);

}  // namespace qz
