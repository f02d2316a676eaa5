// clsFSearch, the object scripts see as sys.File.Search: lists files or folders below a folder,
// optionally through every subfolder, into one list that grows across searches until Clear.
#pragma once
#include <string>
#include <vector>

#include "com/object.h"

namespace qz {

class FileSearch : public NativeObject<FileSearch> {
 public:
  static void define(Members<FileSearch>& m);
  std::u16string type_name() const override { return u"clsFSearch"; }

  // `folder` ends with a separator; `file_pattern` picks files, `folder_pattern` the folders
  // walked (and, with collect_files false, collected). Empty when listing folder & folder_pattern
  // finds nothing at all; else a copy of the whole list. The paths in it take "/" between
  // components, whatever separators `folder` was given with.
  Variant find(const std::u16string& folder, const std::u16string& file_pattern, const std::u16string& folder_pattern,
               bool collect_files, bool recurse);
  void clear() { found_.clear(); }
  Variant list() const;

 private:
  void collect_files(const std::u16string& folder, const std::u16string& pattern);
  std::vector<std::u16string> found_;
};

// True for an array with at least one dimension.
bool is_allocated_array(const Variant& v);

}  // namespace qz
