#include "services/registry/registry_path.h"

#include "com/str.h"

namespace qz {

namespace {

struct RootName {
  RegRoot root;
  std::u16string_view name;
  std::u16string_view short_name;  // empty: none
};

constexpr RootName kRoots[] = {
    {RegRoot::ClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {RegRoot::CurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {RegRoot::LocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {RegRoot::Users, u"HKEY_USERS", u""},
    {RegRoot::CurrentConfig, u"HKEY_CURRENT_CONFIG", u""},
};

}  // namespace

std::u16string_view reg_root_name(RegRoot root) {
  for (const auto& r : kRoots)
    if (r.root == root) return r.name;
  return u"";
}

std::optional<RegRoot> parse_reg_root(std::u16string_view name) {
  for (const auto& r : kRoots)
    if (iequals(name, r.name) || (!r.short_name.empty() && iequals(name, r.short_name))) return r.root;
  return std::nullopt;
}

std::optional<RegPath> parse_reg_path(std::u16string_view text) {
  size_t slash = text.find(u'\\');
  if (slash == std::u16string_view::npos) return std::nullopt;
  auto root = parse_reg_root(text.substr(0, slash));
  if (!root) return std::nullopt;
  RegPath p;
  p.root = *root;
  std::u16string_view rest = text.substr(slash + 1);
  std::u16string_view key_part;
  if (rest.empty()) {
    p.names_key = true;  // the root key itself
  } else if (rest.back() == u'\\') {
    p.names_key = true;
    key_part = rest.substr(0, rest.size() - 1);
    if (key_part.empty()) return std::nullopt;
  } else {
    size_t last = rest.rfind(u'\\');
    if (last == std::u16string_view::npos) {
      p.value = std::u16string(rest);
    } else {
      key_part = rest.substr(0, last);
      p.value = std::u16string(rest.substr(last + 1));
    }
  }
  // Every component of the key path must have a name.
  if (!key_part.empty()) {
    size_t start = 0;
    while (true) {
      size_t end = key_part.find(u'\\', start);
      std::u16string_view part = key_part.substr(start, end == std::u16string_view::npos ? end : end - start);
      if (part.empty()) return std::nullopt;
      if (end == std::u16string_view::npos) break;
      start = end + 1;
    }
  }
  p.key = std::u16string(key_part);
  return p;
}

std::u16string reg_join(std::u16string_view key, std::u16string_view child) {
  std::u16string out(key);
  if (!out.empty()) out += u'\\';
  out += child;
  return out;
}

}  // namespace qz
