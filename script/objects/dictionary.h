// Scripting.Dictionary: keys mapped to items, in insertion order, found in constant time.
// Numbers are keys by value whatever their subtype (Integer 1 and Double 1 are one key, the
// string "1" another); strings compare by their bytes, or case-folded under text compare;
// objects by identity.
#pragma once
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "com/object.h"
#include "script/objects/hash_index.h"

namespace qz {

class Dictionary : public NativeObject<Dictionary> {
 public:
  static void define(Members<Dictionary>& m);
  std::u16string type_name() const override { return u"Dictionary"; }
  Ref<Enumerator> enumerate() override;  // over a snapshot of the keys
  // Deep chains of dictionaries (and instances held in them) release without deep recursion.
  void destroy() override;

  void add(const Variant& key, const Variant& item);      // 457 when the key exists
  bool exists(const Variant& key) const;
  // The item of `key`, adding it with Empty first when it is missing (as reading Item does).
  Variant& item(const Variant& key);
  void set_item(const Variant& key, const Variant& value);  // adds or replaces
  void rename(const Variant& key, const Variant& new_key);  // 32811 missing, 457 taken
  void remove(const Variant& key);                           // 32811 when missing
  void remove_all();
  size_t count() const { return entries_.size(); }
  std::vector<Variant> keys() const;
  std::vector<Variant> items() const;
  int32_t compare_mode() const { return compare_mode_; }
  void set_compare_mode(int32_t mode);  // 5 when negative or when the dictionary is not empty

 private:
  struct KeyId {
    enum Kind : uint8_t { Empty, Null, Number, Text, Object, Error } kind = Empty;
    double number = 0;
    Str text;                  // a string key's bytes (case-folded under text compare): the
                               // key's own string when folding leaves it as it is
    const void* object = nullptr;
    bool operator==(const KeyId& o) const;
  };
  static size_t hash_of(const KeyId& k);
  struct Entry {
    Variant key;
    Variant item;
    KeyId id;
    size_t hash = 0;
  };
  using Entries = std::list<Entry>;

  KeyId key_id(const Variant& key) const;
  const Entries::iterator* lookup(const KeyId& id, size_t hash) const;
  Entries::iterator find(const Variant& key);
  Entries::const_iterator find(const Variant& key) const;

  Entries entries_;
  HashIndex<Entries::iterator> index_;
  int32_t compare_mode_ = 0;
};

Ref<Object> new_dictionary();
// Makes CreateObject("Scripting.Dictionary") work.
void register_dictionary_progid();

}  // namespace qz
