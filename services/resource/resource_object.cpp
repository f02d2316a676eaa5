// Every member runs under a resume-next rule: a resource or module outside the table, a
// file that cannot be written, give an empty result and report nothing.
#include "services/resource/resource_object.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "com/convert.h"
#include "formats/byte_buffer.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "platform/window/window_system.h"

namespace qz {

namespace {

// Writes `bytes` to a new file at `os_file` (an existing one is deleted first).
bool write_new_file(const std::string& os_file, std::string_view bytes) {
  ::unlink(os_file.c_str());
  int fd = ::open(os_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && done == bytes.size();
}

class ResourceObject : public NativeObject<ResourceObject> {
 public:
  explicit ResourceObject(ResourceLookup lookup) : lookup_(std::move(lookup)) {}
  std::u16string type_name() const override { return u"clsResource"; }

  static void define(Members<ResourceObject>& m) {
    m.method(u"NameRes", [](ResourceObject& r, Args a) {
      const ScriptResource* res = r.find(a, 0, 1);
      return Variant(res ? res->name : std::u16string());
    });
    m.method(u"Str", [](ResourceObject& r, Args a) {
      const ScriptResource* res = r.find(a, 0, 1);
      if (!res) return Variant(Str());
      try {
        int32_t lcid = a.has(2) ? to_long(a[2]) : -1;
        return Variant(decode(locale_code_page(lcid == -1 ? 0 : lcid), res->data));
      } catch (...) {
        return Variant(Str());
      }
    });
    m.method(u"Buffer", [](ResourceObject& r, Args a) {
      const ScriptResource* res = r.find(a, 0, 1);
      if (res && !res->data.empty() && a.size() > 2) a.ref(2) = variant_byte_array(res->data);
      return Variant();
    });
    m.method(u"File", [](ResourceObject& r, Args a) {
      const ScriptResource* res = r.find(a, 0, 1);
      if (!res) return Variant();
      try {
        std::u16string name = a.has(2) ? to_u16(a[2]) : std::u16string();
        if (name.empty()) {
          std::u16string folder = r.lookup_.module_folder ? r.lookup_.module_folder(to_long(a[1])) : std::u16string();
          if (folder.empty()) return Variant();
          name = folder + res->name;
        }
        write_new_file(find_path(name), res->data);
      } catch (...) {
      }
      return Variant();
    });
    // The bytes are decoded where they are (bitmap, PNG, JPEG, GIF, icon): no file is written.
    // Data that is not a picture gives Nothing.
    m.method(u"Picture", [](ResourceObject& r, Args a) {
      const ScriptResource* res = r.find(a, 0, 1);
      if (!res || res->data.empty()) return Variant::nothing();
      try {
        Ref<Object> picture = window_system().picture_from_bytes(
            reinterpret_cast<const uint8_t*>(res->data.data()), res->data.size());
        return picture ? Variant(picture) : Variant::nothing();
      } catch (...) {
        return Variant::nothing();
      }
    });
  }

 private:
  // The record named by arguments i (resource number) and j (module number); null when the
  // numbers do not convert or lie outside the table.
  const ScriptResource* find(Args a, size_t i, size_t j) const {
    try {
      return lookup_.resource ? lookup_.resource(to_long(a[j]), to_long(a[i])) : nullptr;
    } catch (...) {
      return nullptr;
    }
  }

  ResourceLookup lookup_;
};

}  // namespace

Ref<Object> new_resource_object(ResourceLookup lookup) { return make_ref<ResourceObject>(std::move(lookup)); }

}  // namespace qz
