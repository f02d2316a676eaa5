// The five resource members raise run-time errors: 9 for a missing resource or empty data, 53
// for a missing file, 75 when the file cannot be read or replaced, 5 for an argument out of
// range or a file that is not an intact PE image. A failed write never reports success.
// UpdateVersion and ModifyMember trap every error; UpdateVersion answers -1 when nothing was
// read or written.
#include "formats/pe/native_res_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "formats/byte_buffer.h"
#include "formats/pe/le_bytes.h"
#include "formats/pe/resource_edits.h"
#include "formats/pe/string_table.h"
#include "formats/pe/version_tree.h"
#include "formats/zip/file_io.h"
#include "platform/path.h"

namespace qz {

namespace {

using pe::ResourceId;

std::u16string widen(std::string_view s) { return std::u16string(s.begin(), s.end()); }

[[noreturn]] void fail(int32_t number, const std::string& why) { raise(number, widen(why)); }

uint16_t ranged(const Variant& v, int32_t low, const char* what) {
  int32_t n = to_long(v);
  if (n < low || n > 0xFFFF) fail(kErrIllegalCall, std::string(what) + " " + std::to_string(n) + " is out of range");
  return static_cast<uint16_t>(n);
}
uint16_t language(const Variant& v) { return ranged(v, 0, "language"); }
ResourceId type_id(const Variant& v) { return ResourceId::number(ranged(v, 1, "resource type")); }

// A text is a name ("#7" the number 7); anything else an integer name.
ResourceId name_id(const Variant& v) {
  if (v.deref().is_string()) {
    std::u16string s = to_u16(v);
    if (s.empty()) fail(kErrIllegalCall, "an empty resource name");
    return ResourceId::parse(s);
  }
  return ResourceId::number(ranged(v, 1, "resource name"));
}

std::string existing_file(const Variant& name) {
  std::string path = find_path(to_u16(name));
  if (!file_exists(path)) fail(kErrFileNotFound, "file not found: " + path);
  return path;
}

std::string read_whole(const std::string& path) {
  auto bytes = read_file_bytes(path);
  if (!bytes) fail(75, "cannot read " + path);
  return std::move(*bytes);
}

// Reads the executable, lets `edit` change its image and writes it back.
template <class Edit>
void edit_file(const Variant& exe, Edit&& edit) {
  std::string path = existing_file(exe);
  std::string image = read_whole(path);
  std::string error;
  if (!edit(image, error)) fail(kErrIllegalCall, path + ": " + error);
  if (!replace_file_bytes(path, image)) fail(75, "cannot write " + path);
}

// The elements 0 to the upper bound, each converted to a byte (overflow or type mismatch
// raised as the conversion raises them); 9 when there are none.
std::string strict_bytes(const Variant& array) {
  const Variant& v = array.deref();
  if (!v.is_array() || v.as_array()->dims.empty()) raise(kErrSubscript);
  const ArrayRep* rep = v.as_array();
  const ArrayDim& d = rep->dims[0];
  const int64_t ubound = int64_t{d.lbound} + d.count - 1;
  if (ubound < 0 || d.lbound > 0) raise(kErrSubscript);
  std::string out(static_cast<size_t>(ubound + 1), '\0');
  for (int64_t i = 0; i <= ubound; ++i) {
    size_t k = static_cast<size_t>(i - d.lbound);
    out[static_cast<size_t>(i)] =
        static_cast<char>(rep->elem == VT::Byte ? rep->bytes[k] : to_byte(rep->items[k]));
  }
  return out;
}

void put_resource(std::string data, Args a) {
  ResourceId type = type_id(a[2]), name = name_id(a[3]);
  uint16_t lang = language(a[4]);
  bool remove_others = a.has(5) && to_bool(a[5]);
  edit_file(a[1], [&](std::string& image, std::string& error) {
    return pe::put_resource(image, type, name, lang, std::move(data), remove_others, error);
  });
}

class NativeResObject : public NativeObject<NativeResObject> {
 public:
  std::u16string type_name() const override { return u"clsNativeRes"; }

  static void define(Members<NativeResObject>& m) {
    m.method(u"Padding", [](NativeResObject&, Args a) {
      int64_t offset = to_long(a[0]);
      int64_t aligned = static_cast<int64_t>(pe::align_up(static_cast<uint64_t>(offset), 4));
      if (offset < 0) aligned = -((-offset) & ~int64_t{3});
      if (aligned > INT32_MAX) raise(kErrOverflow);
      a.ref(0) = Variant(static_cast<int32_t>(aligned));
      return Variant(aligned != offset);
    });
    m.method(u"ModifyMember", [](NativeResObject&, Args a) {
      try {
        pe::modify_member(a[0], to_u16(a[1]), a[2]);
      } catch (const ScriptError&) {
      }
      return Variant(int32_t{0});
    });
    m.method(u"UpdateString", [](NativeResObject&, Args a) {
      int32_t number = to_long(a[1]);
      if (number < 0 || static_cast<uint32_t>(number) > pe::kMaxStringNumber)
        fail(kErrIllegalCall, "string number " + std::to_string(number) + " is out of range");
      std::u16string text = to_u16(a[2]);
      uint16_t lang = language(a[3]);
      edit_file(a[0], [&](std::string& image, std::string& error) {
        return pe::update_string(image, static_cast<uint32_t>(number), text, lang, error);
      });
      return Variant(int32_t{0});
    });
    m.method(u"UpdateMainIcon", [](NativeResObject&, Args a) {
      std::string ico = read_whole(existing_file(a[1]));
      int32_t start = to_long(a[2]);
      uint16_t group = ranged(a[3], 1, "icon group");
      uint16_t lang = language(a[4]);
      if (start < 1) fail(kErrIllegalCall, "icon number " + std::to_string(start) + " is out of range");
      if (ico.size() >= 6 && int64_t{start} + pe::get16(ico, 4) - 1 > 32767) raise(kErrOverflow);
      std::string error;
      auto icon = pe::icon_resources(ico, static_cast<uint32_t>(start), error);
      if (!icon) fail(kErrIllegalCall, error);
      edit_file(a[0], [&](std::string& image, std::string& err) {
        return pe::update_main_icon(image, *icon, static_cast<uint32_t>(start), group, lang, err);
      });
      return Variant(int32_t{0});
    });
    m.method(u"UpdateVersion", [](NativeResObject&, Args a) {
      try {
        Variant local;
        Variant& tree = a.size() > 1 ? a.ref(1) : local;
        int32_t id = to_long(a[2]);
        std::string path = find_path(to_u16(a[0]));
        auto image = file_exists(path) ? read_file_bytes(path) : std::nullopt;
        if (!image || id < 1 || id > 0xFFFF) {
          pe::new_version_tree(tree);
          return Variant(int32_t{-1});
        }
        std::string error;
        switch (pe::update_version(*image, tree, static_cast<uint16_t>(id), error)) {
          case pe::VersionOutcome::Read: return Variant(int32_t{0});
          case pe::VersionOutcome::Written:
            return Variant(int32_t{replace_file_bytes(path, *image) ? 0 : -1});
          default: return Variant(int32_t{-1});
        }
      } catch (const ScriptError&) {
        return Variant(int32_t{-1});
      }
    });
    m.method(u"GetResource", [](NativeResObject&, Args a) {
      ResourceId type = type_id(a[2]), name = ResourceId::parse(to_u16(a[3]));
      uint16_t lang = language(a[4]);
      std::string path = existing_file(a[1]);
      std::string error;
      auto bytes = pe::get_resource(read_whole(path), type, name, lang, error);
      if (!bytes) {
        if (!error.empty()) fail(kErrIllegalCall, path + ": " + error);
        raise(kErrSubscript);
      }
      a.ref(0) = variant_byte_array(*bytes);
      return Variant(int32_t{0});
    });
    m.method(u"PutResourceFromFile", [](NativeResObject&, Args a) {
      std::string data = read_whole(existing_file(a[0]));
      if (data.empty()) raise(kErrSubscript);
      put_resource(std::move(data), a);
      return Variant(int32_t{0});
    });
    m.method(u"PutResource", [](NativeResObject&, Args a) {
      put_resource(strict_bytes(a[0]), a);
      return Variant(int32_t{0});
    });
  }
};

}  // namespace

Ref<Object> new_nativeres_object() { return make_ref<NativeResObject>(); }
Ref<Object> create_nativeres_service(EngineLink&) { return new_nativeres_object(); }

}  // namespace qz
