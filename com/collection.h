// Collection: the platform's keyed collection that scripts get from sys.NewCollection and from
// members returning several named values. Ordered items, 1-based positions, optional unique
// string keys compared without regard to case.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "com/object.h"

namespace qz {

class Collection : public NativeObject<Collection> {
 public:
  static void define(Members<Collection>& m);
  std::u16string type_name() const override { return u"Collection"; }
  // For Each walks a snapshot: items added or removed meanwhile do not disturb it.
  Ref<Enumerator> enumerate() override;

  size_t count() const { return items_.size(); }
  // Adds an item at the end; with a key, 457 when the key is already there.
  void add(const Variant& item);
  void add(const Variant& item, std::u16string_view key);
  // Inserts at 0-based `pos` (0..count()); `key` may be null for no key.
  void insert(size_t pos, const Variant& item, const std::u16string_view* key);
  // The item at 1-based `index` (9 "Subscript out of range" outside 1..count()).
  const Variant& at(size_t index) const;
  // The item under `key`, or null.
  const Variant* find(std::u16string_view key) const;
  // The item a script names by position or key: a String is a key (5 when absent), anything
  // else a 1-based position (9 when outside).
  const Variant& item(const Variant& index) const;
  void remove(const Variant& index);

 private:
  struct Node {
    Variant item;
    std::u16string key;  // lower-cased; empty when the item has no key
    bool keyed = false;
  };
  // 0-based position of the item a script names (same errors as item()).
  size_t position_of(const Variant& index) const;
  size_t position_of_node(const Node* node) const;

  std::vector<std::unique_ptr<Node>> items_;
  std::unordered_map<std::u16string, Node*> keys_;
};

Ref<Object> new_collection();

}  // namespace qz
