#include "formats/pe/version_tree.h"

#include <vector>

#include "com/collection.h"
#include "com/convert.h"
#include "com/error.h"
#include "com/object.h"

namespace qz::pe {

namespace {

Object* object_in(const Variant& v) {
  const Variant& val = v.deref();
  return val.is_object() ? val.as_object() : nullptr;
}

Variant text(std::u16string_view s) { return Variant(std::u16string(s)); }

// Late-bound collection access; each raises the collection's own errors.
Variant item(Object* c, const Variant& index) { return c->call(u"Item", {index}); }
void add(Object* c, const Variant& value, std::u16string_view key) { c->call(u"Add", {value, text(key)}); }
void remove(Object* c, std::u16string_view key) { c->call(u"Remove", {text(key)}); }
int32_t count(Object* c) { return to_long(c->get(u"Count")); }
Object* need(Object* c) {
  if (!c) raise(kErrObjectRequired);
  return c;
}

// Runs `step`; a failing step is skipped, as under a resume-next rule.
template <class F>
void quietly(F&& step) {
  try {
    step();
  } catch (const ScriptError&) {
  }
}

bool has_first_item(Object* tree, std::u16string_view key) {
  try {
    Object* c = object_in(item(tree, text(key)));
    return c && count(c) > 0;
  } catch (const ScriptError&) {
    return false;
  }
}

void add_new_collection(Object* tree, std::u16string_view key) {
  quietly([&] { add(tree, Variant(new_collection()), key); });
}

std::u16string translation_text(uint32_t t) {
  static const char16_t digits[] = u"0123456789ABCDEF";
  uint32_t swapped = (t << 16) | (t >> 16);
  std::u16string s(8, u'0');
  for (int i = 7; i >= 0; --i, swapped >>= 4) s[i] = digits[swapped & 0xF];
  return s;
}

bool parse_translation(std::u16string_view s, uint32_t& out) {
  if (s.empty() || s.size() > 8) return false;
  uint32_t v = 0;
  for (char16_t c : s) {
    int d = c >= u'0' && c <= u'9' ? c - u'0' : (c | 0x20) >= u'a' && (c | 0x20) <= u'f' ? (c | 0x20) - u'a' + 10 : -1;
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  out = (v << 16) | (v >> 16);
  return true;
}

}  // namespace

void modify_member(const Variant& collection, std::u16string_view key, const Variant& value) {
  Object* c = object_in(collection);
  if (!c) return;
  quietly([&] {
    try {
      item(c, text(key));
    } catch (const ScriptError&) {
      add(c, value, key);
      return;
    }
    if (value.deref().is_empty()) return;
    remove(c, key);
    add(c, value, key);
  });
}

bool new_version_tree(Variant& tree) {
  Variant& t = tree.deref();
  if (!object_in(t)) t = Variant(new_collection());
  Object* c = object_in(t);
  modify_member(t, u"FindLng", Variant());
  modify_member(t, u"SaveLng", Variant());
  for (const char16_t* name : kFixedInfoNames) modify_member(t, name, Variant());
  if (!has_first_item(c, u"EnumLng")) add_new_collection(c, u"EnumLng");
  if (!has_first_item(c, u"EnumTables")) add_new_collection(c, u"EnumTables");
  if (has_first_item(c, u"Tables")) return true;
  add_new_collection(c, u"Tables");
  for (const char16_t* list : {u"EnumLng", u"EnumTables"}) {
    quietly([&] { remove(c, list); });
    add_new_collection(c, list);
  }
  return false;
}

void read_version_tree(const Variant& tree, const VersionBlock& block) {
  Object* c = object_in(tree);
  if (!c) return;
  for (size_t i = 0; i < kFixedInfoFields; ++i)
    modify_member(tree, kFixedInfoNames[i], Variant(static_cast<int32_t>(block.fixed(i))));
  quietly([&] {
    Object* tables = object_in(item(c, text(u"Tables")));
    Object* names = object_in(item(c, text(u"EnumTables")));
    for (const VersionTable& table : block.tables) {
      Ref<Object> strings = new_collection();
      for (const VersionString& s : table.strings) {
        Ref<Object> entry = new_collection();
        add(entry.get(), text(s.key), u"Key");
        add(entry.get(), text(s.value), u"Value");
        quietly([&] { add(strings.get(), Variant(entry), s.key); });
      }
      if (tables) quietly([&] { add(tables, Variant(strings), table.name); });
      if (names) quietly([&] { add(names, text(table.name), table.name); });
    }
  });
  quietly([&] {
    Object* langs = object_in(item(c, text(u"EnumLng")));
    if (!langs) return;
    for (uint32_t t : block.translations) {
      std::u16string s = translation_text(t);
      quietly([&] { add(langs, text(s), s); });
    }
  });
}

void apply_version_tree(const Variant& tree, VersionBlock& block) {
  Object* c = object_in(tree);
  if (!c) return;
  for (size_t i = 0; i < kFixedInfoFields; ++i)
    quietly([&] { block.set_fixed(i, static_cast<uint32_t>(to_long(item(c, text(kFixedInfoNames[i]))))); });

  std::vector<VersionTable> tables;
  quietly([&] {
    Object* all = object_in(item(c, text(u"Tables")));
    Object* names = object_in(item(c, text(u"EnumTables")));
    if (!all || !names) return;
    const int32_t n = count(names);
    for (int32_t t = 1; t <= n; ++t) {
      quietly([&] {
        VersionTable table;
        table.name = to_u16(item(names, Variant(t)));
        Object* strings = object_in(item(all, text(table.name)));
        if (!strings) return;
        const int32_t m = count(strings);
        for (int32_t k = 1; k <= m; ++k) {
          quietly([&] {
            Object* entry = object_in(item(strings, Variant(k)));
            if (!entry) return;
            VersionString s;
            s.key = to_u16(item(entry, text(u"Key")));
            s.value = to_u16(item(entry, text(u"Value")));
            table.strings.push_back(std::move(s));
          });
        }
        tables.push_back(std::move(table));
      });
    }
  });
  block.tables = std::move(tables);

  std::vector<uint32_t> translations;
  quietly([&] {
    Object* langs = object_in(item(c, text(u"EnumLng")));
    if (!langs) return;
    const int32_t n = count(langs);
    for (int32_t i = 1; i <= n; ++i)
      quietly([&] {
        uint32_t t;
        if (parse_translation(to_u16(item(langs, Variant(i))), t)) translations.push_back(t);
      });
  });
  if (!translations.empty()) block.translations = std::move(translations);
}

void edit_version_tree(const Variant& tree, std::u16string_view action, std::u16string_view section,
                       std::u16string_view table, std::u16string_view key, const Variant& value) {
  Object* c = object_in(tree);
  if (!c) return;
  const bool removing = action == u"remove", adding = action == u"add";
  quietly([&] {
    if (section.empty()) {
      if (removing) remove(c, key);
      else modify_member(tree, key, value);
      return;
    }
    Variant owner = item(c, text(section));
    if (table.empty()) {
      if (removing) remove(need(object_in(owner)), key);
      else modify_member(owner, key, value);
      return;
    }
    Object* strings = object_in(item(need(object_in(owner)), text(table)));
    if (!strings) return;
    if (adding) {
      Ref<Object> entry = new_collection();
      add(entry.get(), text(key), u"Key");
      add(entry.get(), value, u"Value");
      add(strings, Variant(entry), key);
    } else if (removing) {
      remove(strings, key);
    } else {
      modify_member(item(strings, text(key)), u"Value", value);
    }
  });
}

std::optional<uint16_t> tree_language(const Variant& tree, std::u16string_view key) {
  Object* c = object_in(tree);
  if (!c) return 0;
  try {
    Variant v = item(c, text(key));
    if (v.deref().is_empty()) return 0;
    int32_t n = to_long(v);
    if (n < 0 || n > 0xFFFF) return std::nullopt;
    return static_cast<uint16_t>(n);
  } catch (const ScriptError&) {
    return std::nullopt;
  }
}

}  // namespace qz::pe
