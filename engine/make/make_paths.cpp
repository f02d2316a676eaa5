#include "engine/make/make_paths.h"

#include <sys/stat.h>

#include "platform/path.h"

namespace qz::make {

std::string ini_path(std::u16string_view value, const std::string& folder, const MakeContext& ctx) {
  std::string os = os_path(ctx.expand(value));
  if (os.empty() || os[0] != '/') os = folder + os;
  return resolve_path(os);
}

std::u16string_view file_name_part(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return a == b;
}

}  // namespace qz::make
