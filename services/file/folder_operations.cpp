#include "services/file/folder_operations.h"

#include <sys/stat.h>

#include <string>
#include <vector>

#include "com/error.h"
#include "platform/path.h"
#include "services/file/file_copy.h"
#include "services/file/file_errors.h"
#include "services/file/folder_listing.h"
#include "services/file/name_pattern.h"

namespace qz {

namespace {

bool ends_with_separator(std::u16string_view p) { return !p.empty() && (p.back() == u'\\' || p.back() == u'/'); }

std::u16string_view trim_separators(std::u16string_view p) {
  while (p.size() > 1 && ends_with_separator(p)) p.remove_suffix(1);
  return p;
}

std::string strip_slash(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

bool is_folder(const std::string& os) {
  struct stat st{};
  return ::stat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The OS paths that a source names: every match of a wildcard, else the path itself when it
// exists. `folders` picks folders or files.
std::vector<std::string> sources(std::u16string_view src, bool folders) {
  SplitPath sp = split_script_path(trim_separators(src));
  std::vector<std::string> out;
  if (!has_wildcards(sp.pattern)) {
    std::string os = strip_slash(find_path(trim_separators(src)));
    struct stat st{};
    if (::stat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode) == folders) out.push_back(os);
    return out;
  }
  for (const FolderEntry& e : list_folder(sp.folder, sp.pattern))
    if (e.folder == folders && e.name != "." && e.name != "..") out.push_back(sp.folder + e.name);
  return out;
}

std::string base_name(const std::string& os) { return os.substr(os.rfind('/') + 1); }

// Where one source goes: into the destination folder when there are several sources or the
// destination ends with a separator (or names a folder, for files), else the destination itself.
// A new name keeps the case the script gave it; only the folders before it are looked up.
std::string target_for(const std::string& source, std::u16string_view dst, bool into) {
  if (into) {
    std::string d = strip_slash(find_path(trim_separators(dst)));
    return d + (d == "/" ? "" : "/") + base_name(source);
  }
  SplitPath sp = split_script_path(trim_separators(dst));
  return strip_slash(sp.folder + sp.pattern);
}

}  // namespace

void copy_folder(std::u16string_view src, std::u16string_view dst) {
  std::vector<std::string> found = sources(src, true);
  if (found.empty()) raise(kErrPathNotFound);
  bool into = found.size() > 1 || ends_with_separator(dst) || has_wildcards(split_script_path(trim_separators(src)).pattern);
  for (const std::string& s : found) copy_tree(s, target_for(s, dst, into));
}

void move_folder(std::u16string_view src, std::u16string_view dst) {
  std::vector<std::string> found = sources(src, true);
  if (found.empty()) raise(kErrPathNotFound);
  bool into = found.size() > 1 || ends_with_separator(dst) || has_wildcards(split_script_path(trim_separators(src)).pattern);
  for (const std::string& s : found) move_path(s, target_for(s, dst, into));
}

void move_file(std::u16string_view src, std::u16string_view dst) {
  std::vector<std::string> found = sources(src, false);
  if (found.empty()) raise(kErrFileNotFound);
  bool into = found.size() > 1 || ends_with_separator(dst) || is_folder(find_path(dst));
  for (const std::string& s : found) move_path(s, target_for(s, dst, into));
}

void delete_folder(std::u16string_view src) {
  std::vector<std::string> found = sources(src, true);
  if (found.empty()) raise(kErrPathNotFound);
  for (const std::string& s : found) {
    if (s == "/") raise(kErrPermission);
    remove_tree(s);
  }
}

void kill_files(std::u16string_view pattern) {
  std::vector<std::string> found = sources(pattern, false);
  if (found.empty()) raise(kErrFileNotFound);
  for (const std::string& f : found) remove_tree(f);
}

void rename_file(std::u16string_view src, std::u16string_view dst) {
  std::string s = strip_slash(find_path(trim_separators(src)));
  struct stat st{};
  if (::lstat(s.c_str(), &st) != 0) raise(kErrFileNotFound);
  move_path(s, target_for(s, dst, false));
}

}  // namespace qz
