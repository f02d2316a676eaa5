// One root key's tree in memory: keys by path (found without regard to case, stored with the
// case they were created with) and their typed values.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

enum class RegType { Sz, ExpandSz, Dword, Binary };

// "REG_SZ", "REG_EXPAND_SZ", "REG_DWORD", "REG_BINARY" (any case).
std::optional<RegType> parse_reg_type(std::u16string_view name);

struct RegValue {
  std::u16string name;       // "" is the key's default value
  RegType type = RegType::Sz;
  std::u16string text;       // Sz, ExpandSz
  uint32_t number = 0;       // Dword
  std::string bytes;         // Binary
};

struct RegKey {
  std::u16string path;       // relative to the root, "\"-separated; "" is the root itself
  std::vector<RegValue> values;

  const RegValue* find(std::u16string_view name) const;
  // Stores `value`; one of the same name is replaced but keeps the case of its name.
  void put(RegValue value);
  bool remove(std::u16string_view name);
};

class RegHive {
 public:
  RegHive();  // holds the root key

  const RegKey* find(std::u16string_view path) const;
  RegKey* find(std::u16string_view path);
  // The key at `path`, created with any missing parents.
  RegKey& ensure(std::u16string_view path);
  bool has_subkeys(std::u16string_view path) const;
  // Removes a key (and, with `subtree`, everything below it); false when it does not exist,
  // or when it has sub-keys and `subtree` is false. The root is never removed.
  bool remove(std::u16string_view path, bool subtree);

  // Keys in path order, parents before children (by folded path).
  const std::map<std::u16string, RegKey>& keys() const { return keys_; }

 private:
  std::map<std::u16string, RegKey> keys_;
};

}  // namespace qz
