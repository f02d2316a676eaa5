#include "services/registry/registry_hive.h"

#include "com/str.h"

namespace qz {

std::optional<RegType> parse_reg_type(std::u16string_view name) {
  if (iequals(name, u"REG_SZ")) return RegType::Sz;
  if (iequals(name, u"REG_EXPAND_SZ")) return RegType::ExpandSz;
  if (iequals(name, u"REG_DWORD")) return RegType::Dword;
  if (iequals(name, u"REG_BINARY")) return RegType::Binary;
  return std::nullopt;
}

const RegValue* RegKey::find(std::u16string_view name) const {
  for (const auto& v : values)
    if (iequals(v.name, name)) return &v;
  return nullptr;
}

void RegKey::put(RegValue value) {
  for (auto& v : values) {
    if (iequals(v.name, value.name)) {
      value.name = std::move(v.name);
      v = std::move(value);
      return;
    }
  }
  values.push_back(std::move(value));
}

bool RegKey::remove(std::u16string_view name) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (iequals(it->name, name)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

RegHive::RegHive() { keys_.emplace(std::u16string(), RegKey{}); }

const RegKey* RegHive::find(std::u16string_view path) const {
  auto it = keys_.find(lower(path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegKey* RegHive::find(std::u16string_view path) {
  auto it = keys_.find(lower(path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegKey& RegHive::ensure(std::u16string_view path) {
  std::u16string folded = lower(path);
  auto it = keys_.find(folded);
  if (it != keys_.end()) return it->second;
  size_t last = path.rfind(u'\\');
  if (last != std::u16string_view::npos) ensure(path.substr(0, last));
  RegKey key;
  key.path = std::u16string(path);
  return keys_.emplace(std::move(folded), std::move(key)).first->second;
}

bool RegHive::has_subkeys(std::u16string_view path) const {
  std::u16string prefix = lower(path);
  if (!prefix.empty()) prefix += u'\\';
  auto it = keys_.lower_bound(prefix);
  while (it != keys_.end() && it->first.starts_with(prefix)) {
    if (it->first.size() > prefix.size()) return true;
    ++it;
  }
  return false;
}

bool RegHive::remove(std::u16string_view path, bool subtree) {
  if (path.empty()) return false;
  std::u16string folded = lower(path);
  auto it = keys_.find(folded);
  if (it == keys_.end()) return false;
  if (has_subkeys(path)) {
    if (!subtree) return false;
    std::u16string prefix = folded + u'\\';
    auto sub = keys_.lower_bound(prefix);
    while (sub != keys_.end() && sub->first.starts_with(prefix)) sub = keys_.erase(sub);
  }
  keys_.erase(folded);
  return true;
}

}  // namespace qz
