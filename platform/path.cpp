#include "platform/path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "com/str.h"

namespace qz {
namespace {

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

bool stat_path(std::string_view path, struct stat* st) {
  std::string p(path);
  return ::stat(p.c_str(), st) == 0;
}

bool lexists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` that equals `name` without regard to case; "" when none does.
std::string find_entry_ignoring_case(const std::string& folder, std::string_view name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  const std::u16string wanted = utf8_to_u16(name);
  std::string best;
  while (const dirent* e = ::readdir(dir)) {
    std::string_view entry(e->d_name);
    if (entry == "." || entry == "..") continue;
    if (iequals(utf8_to_u16(entry), wanted) && (best.empty() || entry < best)) best = entry;
  }
  ::closedir(dir);
  return best;
}

}  // namespace

std::string drive_root(char16_t letter) {
  char upper = static_cast<char>(letter >= u'a' && letter <= u'z' ? letter - 32 : letter);
  std::string var = std::string("QUAZEL_DRIVE_") + upper;
  if (const char* v = std::getenv(var.c_str()); v && *v) return with_trailing_slash(v);
  if (upper == 'C') return "/";
  return std::string("/mnt/") + static_cast<char>(upper + 32) + "/";
}

std::string os_path(std::u16string_view script_path) {
  std::string prefix;
  auto is_letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
  if (script_path.size() >= 2 && is_letter(script_path[0]) && script_path[1] == u':') {
    prefix = drive_root(script_path[0]);
    script_path.remove_prefix(2);
    while (!script_path.empty() && is_separator(script_path.front())) script_path.remove_prefix(1);
  }
  std::u16string rest(script_path);
  for (char16_t& c : rest)
    if (c == u'\\') c = u'/';
  return prefix + u16_to_utf8(rest);
}

std::string resolve_path(std::string_view path) {
  std::string whole(path);
  if (whole.empty() || lexists(whole)) return whole;

  std::string result = path.front() == '/' ? "/" : "";
  bool found = true;  // every component so far exists
  size_t pos = 0;
  for (;;) {
    size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    std::string_view comp = path.substr(pos, end - pos);
    if (!comp.empty()) {
      std::string part(comp);
      if (found && comp != "." && comp != ".." && !lexists(result + part)) {
        std::string match = find_entry_ignoring_case(result, comp);
        if (match.empty()) found = false;
        else part = std::move(match);
      }
      result += part;
      if (end < path.size()) result += '/';
    }
    if (end >= path.size()) break;
    pos = end + 1;
  }
  return result;
}

std::string find_path(std::u16string_view script_path) { return resolve_path(os_path(script_path)); }

std::u16string script_path(std::string_view os_path) { return utf8_to_u16(os_path); }

bool path_exists(std::string_view path) {
  struct stat st;
  return stat_path(path, &st);
}

bool file_exists(std::string_view path) {
  struct stat st;
  return stat_path(path, &st) && !S_ISDIR(st.st_mode);
}

bool dir_exists(std::string_view path) {
  struct stat st;
  return stat_path(path, &st) && S_ISDIR(st.st_mode);
}

std::string with_trailing_slash(std::string_view folder) {
  std::string r(folder);
  if (!r.empty() && r.back() != '/') r += '/';
  return r;
}

std::string parent_folder(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string temp_folder() {
  const char* t = std::getenv("TMPDIR");
  if (t && t[0] == '/' && dir_exists(t)) return with_trailing_slash(t);
  return "/tmp/";
}

std::string executable_path() {
  std::vector<char> buf(256);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    if (buf.size() >= 65536) return {};
    buf.resize(buf.size() * 2);
  }
}

std::string executable_folder() { return parent_folder(executable_path()); }

TempFile create_temp_file(std::string_view folder, std::string_view prefix, std::string_view suffix) {
  if (prefix.find('/') != std::string_view::npos || suffix.find('/') != std::string_view::npos)
    throw std::system_error(EINVAL, std::generic_category(), "temporary file name part holds a \"/\"");
  const std::string dir = folder.empty() ? temp_folder() : with_trailing_slash(folder);
  static constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuv";  // 32 symbols, 5 bits each
  constexpr int kRandomChars = 16;
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[kRandomChars];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
      throw std::system_error(errno, std::generic_category(), "getrandom");
    std::string path = dir + std::string(prefix);
    for (unsigned char r : random) path += kAlphabet[r & 31];
    path += suffix;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) return TempFile{fd, std::move(path)};
    if (errno != EEXIST) throw std::system_error(errno, std::generic_category(), "cannot create a temporary file in " + dir);
  }
  throw std::system_error(EEXIST, std::generic_category(), "no free temporary file name in " + dir);
}

}  // namespace qz
