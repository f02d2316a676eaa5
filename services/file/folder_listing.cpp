#include "services/file/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "com/str.h"
#include "platform/path.h"
#include "services/file/name_pattern.h"

namespace qz {

namespace {

std::u16string folded(std::string_view name) {
  std::u16string s = utf8_to_u16(name);
  for (auto& c : s)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return s;
}

bool dot_name(std::string_view n) { return n == "." || n == ".."; }

}  // namespace

std::vector<FolderEntry> list_folder(const std::string& os_folder, std::string_view pattern) {
  std::vector<FolderEntry> out;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(os_folder.empty() ? "." : os_folder.c_str()), ::closedir);
  if (!dir) return out;
  while (dirent* e = ::readdir(dir.get())) {
    std::string_view name = e->d_name;
    if (!name_matches(pattern, name)) continue;
    FolderEntry entry{std::string(name), false, false};
    std::string full = os_folder + entry.name;
    struct stat st{};
    if (::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      entry.link = true;
      if (::stat(full.c_str(), &st) != 0) st = {};
    }
    entry.folder = S_ISDIR(st.st_mode);
    out.push_back(std::move(entry));
  }
  std::stable_sort(out.begin(), out.end(), [](const FolderEntry& a, const FolderEntry& b) {
    bool da = dot_name(a.name), db = dot_name(b.name);
    if (da != db) return da;
    if (da) return a.name.size() < b.name.size();
    std::u16string fa = folded(a.name), fb = folded(b.name);
    return fa != fb ? fa < fb : a.name < b.name;
  });
  return out;
}

SplitPath split_script_path(std::u16string_view script_path) {
  std::string os = os_path(script_path);
  size_t slash = os.rfind('/');
  if (slash == std::string::npos) return {std::string(), os};
  std::string folder = os.substr(0, slash + 1);
  return {resolve_path(folder), os.substr(slash + 1)};
}

}  // namespace qz
