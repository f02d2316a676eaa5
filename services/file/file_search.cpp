// Find and Clear trap nothing (text arguments that do not convert raise); IsArr answers false
// for anything it cannot read.
#include "services/file/file_search.h"

#include "com/convert.h"
#include "platform/event_loop.h"
#include "services/file/folder_listing.h"

namespace qz {

namespace {

bool dot_name(const std::string& n) { return n == "." || n == ".."; }

}  // namespace

void FileSearch::define(Members<FileSearch>& m) {
  m.method(u"Find", [](FileSearch& s, Args a) {
    return s.find(to_u16(a[0]), to_u16(a[1]), to_u16(a[2]), to_bool(a[3]), to_bool(a[4]));
  });
  m.method(u"Clear", [](FileSearch& s, Args) {
    s.clear();
    return Variant();
  });
  m.method(u"IsArr", [](FileSearch&, Args a) { return Variant(is_allocated_array(a[0])); });
}

Variant FileSearch::list() const {
  if (found_.empty()) return Variant::new_array({});
  std::vector<Variant> items;
  items.reserve(found_.size());
  for (const auto& p : found_) items.emplace_back(p);
  return Variant::from_vector(std::move(items));
}

void FileSearch::collect_files(const std::u16string& folder, const std::u16string& pattern) {
  SplitPath sp = split_script_path(folder + pattern);
  for (const FolderEntry& e : list_folder(sp.folder, sp.pattern))
    if (!e.folder && !dot_name(e.name)) found_.push_back(folder + utf8_to_u16(e.name));
}

Variant FileSearch::find(const std::u16string& given_folder, const std::u16string& file_pattern,
                         const std::u16string& folder_pattern, bool collect_files_too, bool recurse) {
  // The paths handed back use one separator, "/", so other programs take them as they are.
  std::u16string folder = given_folder;
  for (char16_t& c : folder)
    if (c == u'\\') c = u'/';
  SplitPath sp = split_script_path(folder + folder_pattern);
  std::vector<FolderEntry> entries = list_folder(sp.folder, sp.pattern);
  if (entries.empty()) return Variant();
  if (collect_files_too) collect_files(folder, file_pattern);
  for (const FolderEntry& e : entries) {
    if (dot_name(e.name) || !e.folder) continue;
    std::u16string path = folder + utf8_to_u16(e.name);
    if (!collect_files_too) found_.push_back(path);
    // A link to a folder is listed but not entered: it may lead back up the tree.
    if (recurse && !e.link) {
      find(path + u"/", file_pattern, folder_pattern, collect_files_too, recurse);
      event_loop().do_events();
    }
  }
  return list();
}

bool is_allocated_array(const Variant& v) {
  const Variant& d = v.deref();
  return d.is_array() && !d.as_array()->dims.empty();
}

}  // namespace qz
