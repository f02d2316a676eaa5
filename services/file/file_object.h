// clsFile, the object scripts see as sys.File: numbered file input and output, typed binary
// reads and writes, the file and folder statements, attributes and time stamps, directory
// listing, disks and drives, size texts and path pieces, and the nested objects Crc32, Search
// and Zip (each made on first use and kept).
//
// Members run under a resume-next rule unless noted: a failing step gives "", 0, False or
// Nothing and reports nothing. SetFileSize reports failures through its False result only.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "com/object.h"

namespace qz {

struct FileServiceLinks {
  // A fresh clsFuncCall (the sys.DynAPI class): lays out script Type records for FileGet and
  // FilePut. Null: records are neither read nor written.
  std::function<Ref<Object>()> new_record_helper;
  // The ZIP archive object. Null: sys.File.Zip stays Nothing.
  std::function<Ref<Object>()> new_zip;
};

class FileObject : public NativeObject<FileObject> {
 public:
  explicit FileObject(FileServiceLinks links) : links_(std::move(links)) {}
  static void define(Members<FileObject>& m);
  std::u16string type_name() const override { return u"clsFile"; }

  // Record lengths by file number 0..512; FileOpen writes them, FileGet/FilePut read them.
  static constexpr int kRecordSlots = 513;
  std::array<int32_t, kRecordSlots> record_lengths{};

  // The directory function: the first name that matches a pattern and attribute mask, then
  // the next ones of that listing; "" when nothing (more) matches.
  std::u16string dir_first(std::u16string_view pattern, int32_t attributes);
  std::u16string dir_next();

  // The byte position a typed read or write goes to: records counted when the file was
  // opened with a record length of 2 or more. Raises 52 outside 0..512.
  int64_t record_position(int number, int64_t position) const;
  // Typed read and write of one value (FileGet / FilePut).
  void get_typed(int number, int64_t position, Variant& target);
  void put_typed(int number, int64_t position, const Variant& value);

  Ref<Object> crc32();
  Ref<Object> search();
  Ref<Object> zip();
  Ref<Object> crc32_, search_, zip_;

 private:
  static void define_number_members(Members<FileObject>& m);
  static void define_folder_members(Members<FileObject>& m);
  static void define_disk_members(Members<FileObject>& m);
  void record_io(int number, int64_t position, Variant& record, bool read);

  FileServiceLinks links_;
  std::vector<std::u16string> dir_names_;
  size_t dir_next_ = 0;
};

Ref<Object> new_file_object(FileServiceLinks links);

// Runs `f`, giving `fallback` when it raises: the resume-next rule of the library members.
template <class F>
Variant resume_next(F&& f, Variant fallback = Variant()) {
  try {
    return f();
  } catch (...) {
    return fallback;
  }
}

}  // namespace qz
