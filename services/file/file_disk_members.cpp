// The disk, drive, size-text and path-piece members of sys.File.
#include "com/collection.h"
#include "com/convert.h"
#include "platform/path.h"
#include "services/file/disk_info.h"
#include "services/file/file_object.h"
#include "services/file/path_pieces.h"
#include "services/file/size_text.h"

namespace qz {

namespace {

// Every key is always there; a step that fails leaves 0 or "" under its keys.
Ref<Object> disk_info_collection(std::u16string_view drive) {
  auto c = make_ref<Collection>();
  DiskSpace space = disk_space(drive);
  c->add(Variant(space.free), u"Free");
  c->add(Variant(space.total), u"Total");
  c->add(Variant(to_double(*c->find(u"Total")) - to_double(*c->find(u"Free"))), u"Used");
  int32_t type = drive_type(drive);
  c->add(Variant(type), u"Type");
  c->add(Variant(drive_type_word(type)), u"TypeStr");
  VolumeInfo vol = volume_info(drive);
  c->add(Variant(vol.file_system), u"Name");
  c->add(Variant(serial_text(vol.serial)), u"Serial");
  c->add(Variant(static_cast<int32_t>(vol.serial)), u"SerialLng");
  c->add(Variant(vol.label), u"Label");
  return c;
}

std::u16string text_arg(Args a, size_t i) { return a.has(i) ? to_u16(a[i]) : std::u16string(); }

bool path_is_there(std::u16string_view p) {
  std::string os = find_path(p);
  while (os.size() > 1 && os.back() == '/') os.pop_back();
  return !p.empty() && path_exists(os);
}

}  // namespace

void FileObject::define_disk_members(Members<FileObject>& m) {
  m.method(u"IsDirFile", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(path_is_there(to_u16(a[0]))); }, Variant(false));
  });
  m.method(u"GetDiskInfo", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(disk_info_collection(text_arg(a, 0))); },
                       Variant(disk_info_collection(u"")));
  });
  m.method(u"GetDiskType", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(drive_type(to_u16(a[0]))); }, Variant(int32_t{0}));
  });
  m.method(u"GetLogicalDrives", [](FileObject&, Args) {
    auto c = make_ref<Collection>();
    std::vector<std::u16string> drives = logical_drives();
    for (size_t i = 0; i < drives.size(); ++i) c->add(Variant(drives[i]), u"Drive_" + utf8_to_u16(std::to_string(i)));
    return Variant(Ref<Object>(c));
  });
  m.method(u"FormatBytes", [](FileObject&, Args a) {
    return Variant(format_bytes(to_double(a[0]), a.has(1) && to_bool(a[1])));
  });
  m.method(u"GetFName", [](FileObject&, Args a) { return Variant(path_file_name(to_u16(a[0]), text_arg(a, 1))); });
  m.method(u"GetFPath", [](FileObject&, Args a) { return Variant(path_folder(to_u16(a[0]), text_arg(a, 1))); });
  m.method(u"GetFSideN", [](FileObject&, Args a) {
    return Variant(name_without_extension(path_file_name(to_u16(a[0]), text_arg(a, 1))));
  });
  m.method(u"GetFSideR", [](FileObject&, Args a) {
    return Variant(name_extension(path_file_name(to_u16(a[0]), text_arg(a, 1))));
  });
}

}  // namespace qz
