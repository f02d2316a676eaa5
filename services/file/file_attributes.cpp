#include "services/file/file_attributes.h"

#include <sys/stat.h>

#include <cerrno>

#include "services/file/file_errors.h"

namespace qz {

namespace {

std::string without_trailing_slash(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

}  // namespace

int32_t file_attributes(const std::string& os_path) {
  std::string p = without_trailing_slash(os_path);
  struct stat st{};
  if (p.empty() || ::stat(p.c_str(), &st) != 0) raise_os_error(p.empty() ? ENOENT : errno);
  int32_t bits = S_ISDIR(st.st_mode) ? kAttrFolder : kAttrArchive;
  if (!(st.st_mode & S_IWUSR)) bits |= kAttrReadOnly;
  size_t slash = p.rfind('/');
  std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
  if (name.size() > 1 && name[0] == '.' && name != "..") bits |= kAttrHidden;
  return bits;
}

void set_file_attributes(const std::string& os_path, int32_t bits) {
  std::string p = without_trailing_slash(os_path);
  struct stat st{};
  if (p.empty() || ::stat(p.c_str(), &st) != 0) raise_os_error(p.empty() ? ENOENT : errno);
  mode_t mode = st.st_mode & 07777;
  mode = (bits & kAttrReadOnly) ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
  if (mode != (st.st_mode & 07777) && ::chmod(p.c_str(), mode) != 0) raise_os_error(errno);
}

}  // namespace qz
