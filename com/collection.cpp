// Collection: ordered items with optional case-insensitive string keys.
#include "com/collection.h"

#include "com/convert.h"
#include "com/error.h"

namespace qz {

namespace {

void check_arg_count(Args a, size_t min, size_t max) {
  if (a.size() > max) raise(kErrArgCount);
  for (size_t i = 0; i < min; ++i)
    if (!a.has(i)) raise(449);  // Argument not optional
}

// A key argument must be text; numbers are positions, never keys.
std::u16string key_text(const Variant& arg) {
  Variant v = value_of(arg);
  if (v.is_null()) raise(kErrInvalidNull);
  if (!v.is_string()) raise(kErrTypeMismatch);
  return std::u16string(v.str_view());
}

}  // namespace

void Collection::define(Members<Collection>& m) {
  m.method(u"Add", [](Collection& c, Args a) {
    check_arg_count(a, 1, 4);
    bool has_key = a.has(1), has_before = a.has(2), has_after = a.has(3);
    if (has_before && has_after) raise(kErrIllegalCall);
    std::u16string key;
    if (has_key) key = key_text(a[1]);
    // Before and After name an existing item; naming none is an invalid argument.
    size_t pos = c.count();
    auto existing = [&c](const Variant& where) {
      try {
        return c.position_of(where);
      } catch (const ScriptError& e) {
        if (e.number == kErrSubscript) raise(kErrIllegalCall);
        throw;
      }
    };
    if (has_before) pos = existing(a[2]);
    if (has_after) pos = existing(a[3]) + 1;
    std::u16string_view key_view(key);
    c.insert(pos, a[0], has_key ? &key_view : nullptr);
    return Variant();
  });
  m.method(u"Item", [](Collection& c, Args a) {
    // The collection used as a plain value reaches here without an index.
    if (a.empty()) raise(kErrArgCount);
    check_arg_count(a, 1, 1);
    return c.item(a[0]);
  });
  m.default_member(u"Item");
  m.method(u"Remove", [](Collection& c, Args a) {
    check_arg_count(a, 1, 1);
    c.remove(a[0]);
    return Variant();
  });
  m.getter(u"Count", [](Collection& c, Args a) {
    check_arg_count(a, 0, 0);
    return Variant(static_cast<int32_t>(c.count()));
  });
}

Ref<Enumerator> Collection::enumerate() {
  std::vector<Variant> snapshot;
  snapshot.reserve(items_.size());
  for (const auto& n : items_) snapshot.push_back(n->item);
  return make_ref<VectorEnumerator>(std::move(snapshot));
}

void Collection::add(const Variant& item) { insert(items_.size(), item, nullptr); }

void Collection::add(const Variant& item, std::u16string_view key) {
  insert(items_.size(), item, &key);
}

void Collection::insert(size_t pos, const Variant& item, const std::u16string_view* key) {
  auto node = std::make_unique<Node>();
  node->item = item.deref();
  if (key) {
    node->key = lower(*key);
    node->keyed = true;
    if (keys_.count(node->key)) raise(kErrKeyExists);
  }
  if (pos > items_.size()) pos = items_.size();
  Node* raw = node.get();
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(node));
  if (raw->keyed) keys_.emplace(raw->key, raw);
}

const Variant& Collection::at(size_t index) const {
  if (index < 1 || index > items_.size()) raise(kErrSubscript);
  return items_[index - 1]->item;
}

const Variant* Collection::find(std::u16string_view key) const {
  auto it = keys_.find(lower(key));
  return it == keys_.end() ? nullptr : &it->second->item;
}

size_t Collection::position_of_node(const Node* node) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == node) return i;
  raise(51);  // Internal error: the key table and the item list disagree
}

size_t Collection::position_of(const Variant& index) const {
  Variant v = value_of(index);
  if (v.is_string()) {
    auto it = keys_.find(lower(v.str_view()));
    if (it == keys_.end()) raise(kErrIllegalCall);
    return position_of_node(it->second);
  }
  int32_t i = to_long(v);
  if (i < 1 || static_cast<size_t>(i) > items_.size()) raise(kErrSubscript);
  return static_cast<size_t>(i) - 1;
}

const Variant& Collection::item(const Variant& index) const {
  Variant v = value_of(index);
  if (v.is_string()) {
    const Variant* found = find(v.str_view());
    if (!found) raise(kErrIllegalCall);
    return *found;
  }
  return items_[position_of(v)]->item;
}

void Collection::remove(const Variant& index) {
  size_t pos = position_of(index);
  // Taken out first: releasing the item may run script code that uses this collection.
  std::unique_ptr<Node> node = std::move(items_[pos]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(pos));
  if (node->keyed) keys_.erase(node->key);
}

Ref<Object> new_collection() { return make_ref<Collection>(); }

}  // namespace qz
