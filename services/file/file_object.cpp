#include "services/file/file_object.h"

#include <cstring>

#include "com/convert.h"
#include "com/error.h"
#include "formats/crc32.h"
#include "services/file/disk_info.h"
#include "services/file/file_attributes.h"
#include "services/file/file_errors.h"
#include "services/file/file_search.h"
#include "services/file/file_table.h"
#include "services/file/folder_listing.h"
#include "services/file/typed_value_io.h"

namespace qz {

namespace {

// Record images larger than this are refused rather than read into memory.
constexpr int32_t kMaxRecordImage = 64 << 20;

void define_nested(Members<FileObject>& m, std::u16string_view name, Ref<Object> (FileObject::*get)(),
                   Ref<Object> FileObject::*slot) {
  m.property(
      name, [get](FileObject& f, Args) { return Variant((f.*get)()); },
      [slot](FileObject& f, Args, const Variant& v) {
        const Variant& d = v.deref();
        f.*slot = d.is_object() ? Ref<Object>(d.as_object()) : Ref<Object>();
      });
  m.setter(name, [slot](FileObject& f, Args, const Variant& v) {
    const Variant& d = v.deref();
    f.*slot = d.is_object() ? Ref<Object>(d.as_object()) : Ref<Object>();
  });
}

}  // namespace

void FileObject::define(Members<FileObject>& m) {
  define_nested(m, u"Crc32", &FileObject::crc32, &FileObject::crc32_);
  define_nested(m, u"Search", &FileObject::search, &FileObject::search_);
  define_nested(m, u"Zip", &FileObject::zip, &FileObject::zip_);
  define_number_members(m);
  define_folder_members(m);
  define_disk_members(m);
}

Ref<Object> FileObject::crc32() {
  if (!crc32_) crc32_ = new_crc32_object();
  return crc32_;
}

Ref<Object> FileObject::search() {
  if (!search_) search_ = make_ref<FileSearch>();
  return search_;
}

Ref<Object> FileObject::zip() {
  if (!zip_ && links_.new_zip) zip_ = links_.new_zip();
  return zip_;
}

std::u16string FileObject::dir_first(std::u16string_view pattern, int32_t attributes) {
  dir_names_.clear();
  dir_next_ = 0;
  SplitPath sp = split_script_path(pattern);
  if (attributes & kAttrVolume) return volume_info(pattern.size() >= 2 ? pattern.substr(0, 3) : pattern).label;
  std::string name_pattern = sp.pattern.empty() ? "*" : sp.pattern;
  for (const FolderEntry& e : list_folder(sp.folder, name_pattern)) {
    bool hidden = e.name.size() > 1 && e.name[0] == '.' && e.name != "..";
    if (e.folder && !(attributes & kAttrFolder)) continue;
    if (hidden && !(attributes & kAttrHidden)) continue;
    dir_names_.push_back(utf8_to_u16(e.name));
  }
  return dir_next();
}

std::u16string FileObject::dir_next() {
  if (dir_next_ >= dir_names_.size()) {
    dir_names_.clear();
    dir_next_ = 0;
    return {};
  }
  return dir_names_[dir_next_++];
}

int64_t FileObject::record_position(int number, int64_t position) const {
  if (number < 0 || number >= kRecordSlots) raise(kErrBadFileNumber);
  int32_t length = record_lengths[static_cast<size_t>(number)];
  return length >= 2 ? (position - 1) * length + 1 : position;
}

void FileObject::get_typed(int number, int64_t position, Variant& target) {
  int64_t at = record_position(number, position);
  if (target.is_object()) return record_io(number, at, target, true);
  std::optional<size_t> n = typed_image_size(target);
  if (!n) return;
  std::string bytes = file_table().read(number, at, *n);
  store_typed_image(target, bytes);
}

void FileObject::put_typed(int number, int64_t position, const Variant& value) {
  int64_t at = record_position(number, position);
  if (value.is_object()) {
    Variant record = value;
    return record_io(number, at, record, false);
  }
  if (!typed_image_size(value)) return;
  file_table().write(number, at, typed_image(value));
}

// A script Type record: a fresh record helper lays its members out in one of its buffers, and
// the buffer's bytes are what goes to or comes from the file. The helper and its buffer go
// when this returns.
void FileObject::record_io(int number, int64_t position, Variant& record, bool read) {
  if (!links_.new_record_helper || !record.as_object()) return;
  Ref<Object> helper = links_.new_record_helper();
  if (!helper) return;
  int32_t buffer = to_long(helper->call(u"FindBuf", {Variant(int32_t{0})}));
  if (buffer < 0) return;
  int64_t image = to_longlong(helper->call(u"GetPtrFromClassVars", {record}));
  int32_t size = to_long(helper->call(u"LenBuf", {Variant(buffer)}));
  if (image == 0 || size <= 0 || size > kMaxRecordImage) return;
  auto* data = reinterpret_cast<char*>(static_cast<intptr_t>(to_longlong(helper->call(u"PtrBuf", {Variant(buffer)}))));
  if (!data) return;
  if (read) {
    std::string bytes = file_table().read(number, position, static_cast<size_t>(size));
    std::memcpy(data, bytes.data(), bytes.size());
    helper->call(u"GetClassVarsFromPtr", {record});
  } else {
    file_table().write(number, position, std::string_view(data, static_cast<size_t>(size)));
  }
}

Ref<Object> new_file_object(FileServiceLinks links) { return make_ref<FileObject>(std::move(links)); }

}  // namespace qz
