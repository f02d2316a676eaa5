#include "script/objects/dictionary.h"

#include <functional>
#include <string>
#include <string_view>

#include "com/convert.h"
#include "com/error.h"
#include "com/progid.h"
#include "script/deferred_release.h"

namespace qz {

namespace {

constexpr int32_t kErrElementNotFound = 32811;

[[noreturn]] void raise_not_found() { raise(kErrElementNotFound, u"Element not found"); }

const Variant& single_key(Args a) {
  if (a.size() != 1) raise(kErrArgCount);
  return a[0];
}

}  // namespace

void Dictionary::destroy() {
  release_flat(this, [](Object* o) { delete static_cast<Dictionary*>(o); });
}

bool Dictionary::KeyId::operator==(const KeyId& o) const {
  if (kind != o.kind) return false;
  switch (kind) {
    case Number: case Error: return number == o.number;
    case Text: return text == o.text;
    case Object: return object == o.object;
    default: return true;
  }
}

size_t Dictionary::hash_of(const KeyId& k) {
  uint64_t h = k.kind;
  switch (k.kind) {
    case KeyId::Number: case KeyId::Error: h ^= std::hash<double>()(k.number) * 31; break;
    case KeyId::Text:
      h ^= std::hash<std::string_view>()(
               std::string_view(reinterpret_cast<const char*>(k.text.bytes()), k.text.byte_size())) *
           31;
      break;
    case KeyId::Object: h ^= reinterpret_cast<uintptr_t>(k.object) * 31; break;
    default: break;
  }
  // Spread every bit into the low ones the table uses (object addresses share their low bits).
  h ^= h >> 31;
  h *= 0x9e3779b97f4a7c15ull;
  h ^= h >> 29;
  return static_cast<size_t>(h);
}

namespace {
// Text compare folds case; a key with no capital (or other non-ASCII) letter folds to itself.
bool folds_to_itself(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x80 || (c >= u'A' && c <= u'Z')) return false;
  return true;
}
}  // namespace

Dictionary::KeyId Dictionary::key_id(const Variant& key) const {
  const Variant& v = key.deref();
  KeyId id;
  switch (v.type()) {
    case VT::Empty: id.kind = KeyId::Empty; break;
    case VT::Null: id.kind = KeyId::Null; break;
    case VT::Object: id.kind = KeyId::Object; id.object = v.as_object(); break;
    case VT::Error: id.kind = KeyId::Error; id.number = v.as_error(); break;
    case VT::String: {
      id.kind = KeyId::Text;
      Str s = v.as_str();
      if (compare_mode_ != 0 && !folds_to_itself(s.view())) {
        std::u16string folded = lower(s.view());
        // A byte string's odd last byte stays as it is.
        id.text = Str::concat(folded.data(), folded.size() * 2, s.bytes() + folded.size() * 2, s.byte_size() % 2);
      } else {
        id.text = std::move(s);
      }
      break;
    }
    case VT::Array: raise(kErrTypeMismatch);
    default:
      id.kind = KeyId::Number;
      id.number = to_double(v);
      if (id.number == 0) id.number = 0;  // -0 and 0 are one key
      break;
  }
  return id;
}

const Dictionary::Entries::iterator* Dictionary::lookup(const KeyId& id, size_t hash) const {
  return index_.find(hash, [&](const Entries::iterator& e) { return e->id == id; });
}

Dictionary::Entries::iterator Dictionary::find(const Variant& key) {
  KeyId id = key_id(key);
  const Entries::iterator* at = lookup(id, hash_of(id));
  return at ? *at : entries_.end();
}

Dictionary::Entries::const_iterator Dictionary::find(const Variant& key) const {
  KeyId id = key_id(key);
  const Entries::iterator* at = lookup(id, hash_of(id));
  return at ? Entries::const_iterator(*at) : entries_.cend();
}

void Dictionary::add(const Variant& key, const Variant& item) {
  KeyId id = key_id(key);
  size_t hash = hash_of(id);
  if (lookup(id, hash)) raise(kErrKeyExists);
  entries_.push_back(Entry{key.deref(), item.deref(), std::move(id), hash});
  index_.insert(hash, std::prev(entries_.end()));
}

bool Dictionary::exists(const Variant& key) const { return find(key) != entries_.end(); }

Variant& Dictionary::item(const Variant& key) {
  auto it = find(key);
  if (it == entries_.end()) {
    add(key, Variant());
    it = std::prev(entries_.end());
  }
  return it->item;
}

void Dictionary::set_item(const Variant& key, const Variant& value) { item(key) = value.deref(); }

void Dictionary::rename(const Variant& key, const Variant& new_key) {
  KeyId old_id = key_id(key), new_id = key_id(new_key);
  size_t old_hash = hash_of(old_id);
  const Entries::iterator* at = lookup(old_id, old_hash);
  if (!at) raise_not_found();
  Entries::iterator entry = *at;
  if (old_id == new_id) {
    entry->key = new_key.deref();
    return;
  }
  size_t new_hash = hash_of(new_id);
  if (lookup(new_id, new_hash)) raise(kErrKeyExists);
  index_.erase(old_hash, entry);
  entry->key = new_key.deref();
  entry->id = std::move(new_id);
  entry->hash = new_hash;
  index_.insert(new_hash, entry);
}

void Dictionary::remove(const Variant& key) {
  KeyId id = key_id(key);
  size_t hash = hash_of(id);
  const Entries::iterator* at = lookup(id, hash);
  if (!at) raise_not_found();
  Entries::iterator entry = *at;
  index_.erase(hash, entry);
  // Items may be objects whose teardown runs script code; unlink first, release last.
  Entry gone = std::move(*entry);
  entries_.erase(entry);
}

void Dictionary::remove_all() {
  index_.clear();
  Entries gone;
  gone.swap(entries_);
}

std::vector<Variant> Dictionary::keys() const {
  std::vector<Variant> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) out.push_back(e.key);
  return out;
}

std::vector<Variant> Dictionary::items() const {
  std::vector<Variant> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) out.push_back(e.item);
  return out;
}

void Dictionary::set_compare_mode(int32_t mode) {
  if (mode < 0 || !entries_.empty()) raise(kErrIllegalCall);
  compare_mode_ = mode;
}

Ref<Enumerator> Dictionary::enumerate() { return make_ref<VectorEnumerator>(keys()); }

void Dictionary::define(Members<Dictionary>& m) {
  m.method(u"Add", [](Dictionary& d, Args a) {
    if (a.size() != 2) raise(kErrArgCount);
    d.add(a[0], a[1]);
    return Variant();
  });
  m.method(u"Exists", [](Dictionary& d, Args a) { return Variant(d.exists(single_key(a))); });
  m.method(u"Remove", [](Dictionary& d, Args a) {
    d.remove(single_key(a));
    return Variant();
  });
  m.method(u"RemoveAll", [](Dictionary& d, Args) {
    d.remove_all();
    return Variant();
  });
  m.method(u"Keys", [](Dictionary& d, Args) { return Variant::from_vector(d.keys()); });
  m.method(u"Items", [](Dictionary& d, Args) { return Variant::from_vector(d.items()); });
  m.getter(u"Count", [](Dictionary& d, Args) { return Variant(static_cast<int32_t>(d.count())); });
  m.property(
      u"Item", [](Dictionary& d, Args a) { return d.item(single_key(a)); },
      // Let assigns a value: an object given without Set stands for its default value.
      [](Dictionary& d, Args a, const Variant& v) { d.set_item(single_key(a), value_of(v)); });
  m.setter(u"Item", [](Dictionary& d, Args a, const Variant& v) { d.set_item(single_key(a), v); });
  m.default_member(u"Item");
  m.letter(u"Key", [](Dictionary& d, Args a, const Variant& v) { d.rename(single_key(a), v); });
  m.property(
      u"CompareMode", [](Dictionary& d, Args) { return Variant(d.compare_mode()); },
      [](Dictionary& d, Args, const Variant& v) { d.set_compare_mode(to_long(v)); });
}

Ref<Object> new_dictionary() { return make_ref<Dictionary>(); }

void register_dictionary_progid() {
  register_progid(u"Scripting.Dictionary", [] { return new_dictionary(); });
}

}  // namespace qz
