// RegWrite, RegRead and RegDelete swallow every failure (a bad path or type name, a missing
// key or value, a store that cannot be read or written): RegRead then gives Empty. The three
// settings members let failures reach the script as run-time errors.
#include "services/registry/registry_object.h"

#include <cmath>

#include "com/convert.h"
#include "com/error.h"
#include "formats/byte_buffer.h"
#include "services/registry/registry_store.h"

namespace qz {

namespace {

// Where the settings live: one key per application, one sub-key per section.
constexpr std::u16string_view kSettingsKey = u"Software\\Quazel\\Settings";

RegValue value_to_store(std::u16string name, const Variant& value, RegType type) {
  RegValue v;
  v.name = std::move(name);
  v.type = type;
  const Variant& val = value.deref();
  switch (type) {
    case RegType::Sz:
    case RegType::ExpandSz:
      v.text = to_u16(val);
      break;
    case RegType::Dword: {
      double d = round_half_even(to_double(val));
      if (!(d >= -2147483648.0 && d <= 4294967295.0)) raise(kErrOverflow);
      v.number = d < 0 ? static_cast<uint32_t>(static_cast<int32_t>(d)) : static_cast<uint32_t>(d);
      break;
    }
    case RegType::Binary:
      if (val.is_array()) {
        v.bytes = bytes_of_array(val);
      } else if (val.is_numeric_type()) {
        uint32_t n = static_cast<uint32_t>(to_long(val));
        for (int i = 0; i < 4; ++i) v.bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
      } else {
        raise(kErrTypeMismatch);
      }
      break;
  }
  return v;
}

Variant value_to_script(const RegValue& v) {
  switch (v.type) {
    case RegType::Sz:
    case RegType::ExpandSz: return Variant(v.text);
    case RegType::Dword: return Variant(static_cast<int32_t>(v.number));
    case RegType::Binary: return variant_byte_array(v.bytes);
  }
  return Variant();
}

// The full registry path text of a script argument; nullopt when it is no valid path.
std::optional<RegPath> path_arg(const Args& a, size_t i) { return parse_reg_path(to_u16(a[i])); }

void reg_write(const Args& a) {
  auto path = path_arg(a, 0);
  if (!path) return;
  RegType type = RegType::Sz;
  if (a.has(2) && !a[2].is_empty()) {
    auto t = parse_reg_type(to_u16(a[2]));
    if (!t) return;
    type = *t;
  }
  RegValue value = value_to_store(path->value, a[1], type);
  RegistryStore().update(path->root, [&](RegHive& hive) {
    hive.ensure(path->key).put(std::move(value));
    return true;
  });
}

Variant reg_read(const Args& a) {
  auto path = path_arg(a, 0);
  if (!path) return Variant();
  RegHive hive = RegistryStore().load(path->root);
  const RegKey* key = hive.find(path->key);
  const RegValue* value = key ? key->find(path->value) : nullptr;
  return value ? value_to_script(*value) : Variant();
}

void reg_delete(const Args& a) {
  auto path = path_arg(a, 0);
  if (!path) return;
  RegistryStore().update(path->root, [&](RegHive& hive) {
    // A key with sub-keys stays: only an empty key (values aside) can be deleted.
    if (path->names_key) return hive.remove(path->key, false);
    RegKey* key = hive.find(path->key);
    return key && key->remove(path->value);
  });
}

// One part of a settings path: an application or section name is a key name, so it must
// not be empty nor start, end or double a "\".
std::u16string settings_part(const Args& a, size_t i) {
  std::u16string s = to_u16(a[i]);
  if (s.empty() || s.front() == u'\\' || s.back() == u'\\' || s.find(u"\\\\") != std::u16string::npos)
    raise(kErrIllegalCall);
  return s;
}

// Store failures of the settings members reach the script as "Path/File access error".
template <class F>
auto settings_call(F&& f) {
  try {
    return f();
  } catch (const RegistryStoreError& e) {
    raise(75, utf8_to_u16(e.what()));
  }
}

class RegistryObject : public NativeObject<RegistryObject> {
 public:
  std::u16string type_name() const override { return u"clsRegistry"; }

  static void define(Members<RegistryObject>& m) {
    m.method(u"RegWrite", [](RegistryObject&, Args a) {
      try {
        reg_write(a);
      } catch (...) {
      }
      return Variant();
    });
    m.method(u"RegRead", [](RegistryObject&, Args a) {
      try {
        return reg_read(a);
      } catch (...) {
        return Variant();
      }
    });
    m.method(u"RegDelete", [](RegistryObject&, Args a) {
      try {
        reg_delete(a);
      } catch (...) {
      }
      return Variant();
    });
    m.method(u"regSaveSetting", [](RegistryObject&, Args a) {
      std::u16string key = reg_join(reg_join(kSettingsKey, settings_part(a, 0)), settings_part(a, 1));
      RegValue value;
      value.name = to_u16(a[2]);
      if (value.name.empty()) raise(kErrIllegalCall);
      value.text = to_u16(a[3]);
      settings_call([&] {
        RegistryStore().update(RegRoot::CurrentUser, [&](RegHive& hive) {
          hive.ensure(key).put(std::move(value));
          return true;
        });
      });
      return Variant();
    });
    m.method(u"regGetSetting", [](RegistryObject&, Args a) {
      std::u16string key = reg_join(reg_join(kSettingsKey, settings_part(a, 0)), settings_part(a, 1));
      std::u16string name = to_u16(a[2]);
      if (name.empty()) raise(kErrIllegalCall);
      return settings_call([&] {
        RegHive hive = RegistryStore().load(RegRoot::CurrentUser);
        const RegKey* k = hive.find(key);
        const RegValue* v = k ? k->find(name) : nullptr;
        if (!v) return Variant(Str());
        return Variant(to_str(value_to_script(*v)));
      });
    });
    // Deletes one setting; with the key name left out the whole section, with the section
    // left out too the whole application. Deleting what does not exist is an error.
    m.method(u"regDeleteSetting", [](RegistryObject&, Args a) {
      std::u16string key = reg_join(kSettingsKey, settings_part(a, 0));
      if (a.has(1)) key = reg_join(key, settings_part(a, 1));
      std::optional<std::u16string> name;
      if (a.has(1) && a.has(2)) name = to_u16(a[2]);
      bool done = false;
      settings_call([&] {
        RegistryStore().update(RegRoot::CurrentUser, [&](RegHive& hive) {
          if (!name) {
            done = hive.remove(key, true);
          } else {
            RegKey* k = hive.find(key);
            done = k && k->remove(*name);
          }
          return done;
        });
      });
      if (!done) raise(kErrIllegalCall);
      return Variant();
    });
  }
};

}  // namespace

Ref<Object> new_registry_object() { return make_ref<RegistryObject>(); }

Ref<Object> create_registry_service(EngineLink&) { return new_registry_object(); }

}  // namespace qz
