// The file and folder members of sys.File: statements on paths, attributes, time stamps, the
// directory function, size changes and long/short names.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "com/convert.h"
#include "com/error.h"
#include "platform/path.h"
#include "services/file/file_attributes.h"
#include "services/file/file_copy.h"
#include "services/file/file_errors.h"
#include "services/file/file_object.h"
#include "services/file/folder_operations.h"

namespace qz {

namespace {

// A member that takes one path and returns nothing: `op` on the OS path.
template <class Op>
Variant on_path(Args a, Op op) {
  return resume_next([&] {
    op(to_u16(a[0]));
    return Variant();
  });
}

// A member that takes a source and a destination path and returns nothing.
template <class Op>
Variant on_two_paths(Args a, Op op) {
  return resume_next([&] {
    op(to_u16(a[0]), to_u16(a[1]));
    return Variant();
  });
}

void check(int rc) {
  if (rc != 0) raise_os_error(errno);
}

double modified_date(const std::string& os) {
  std::string p = os;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  struct stat st{};
  check(::stat(p.c_str(), &st));
  std::tm tm{};
  time_t t = st.st_mtim.tv_sec;
  if (!::localtime_r(&t, &tm)) raise(kErrDeviceIo);
  double day = date_from_parts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  return day + time_from_parts(tm.tm_hour, tm.tm_min, tm.tm_sec);
}

// Cuts or extends an existing file to `size` bytes; false on any failure.
bool set_file_size(const std::string& os, uint32_t size) {
  int fd = ::open(os.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
  ::close(fd);
  return ok;
}

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

// Each component replaced by its name as stored on disk, found without regard to case; ""
// when one is not there. A drive and a leading root stay, a relative path stays relative, and
// the result takes "/" between components. Looks names up by itself, so that a GetDir
// enumeration in progress goes on undisturbed.
std::u16string long_name(std::u16string_view path) {
  std::u16string result;
  size_t i = 0;
  if (path.size() >= 2 && path[1] == u':') {
    result = std::u16string(path.substr(0, 2));
    i = 2;
  }
  if (i < path.size() && is_separator(path[i])) {
    result += u'/';
    ++i;
  }
  while (i < path.size()) {
    size_t end = i;
    while (end < path.size() && !is_separator(path[end])) ++end;
    std::u16string_view part = path.substr(i, end - i);
    i = end + 1;
    if (part.empty()) continue;  // doubled separators
    if (!result.empty() && result.back() != u'/' && result.back() != u':') result += u'/';
    if (part == u"." || part == u"..") {
      result += part;
      continue;
    }
    struct stat st{};
    std::string os = find_path(result + std::u16string(part));
    if (::lstat(os.c_str(), &st) != 0) return {};
    result += utf8_to_u16(os.substr(os.find_last_of('/') + 1));
  }
  if (!path.empty() && is_separator(path.back()) && !result.empty() && result.back() != u'/') result += u'/';
  return result;
}

}  // namespace

void FileObject::define_folder_members(Members<FileObject>& m) {
  m.method(u"SetFileSize", [](FileObject&, Args a) {
    std::string os = find_path(to_u16(a[0]));
    int32_t size = to_long(a[1]);
    if (size < 0) return Variant(false);  // no file has a negative size
    return Variant(set_file_size(os, static_cast<uint32_t>(size)));
  });
  m.method(u"ShortName", [](FileObject&, Args a) {
    // Linux has no second, short form of a name: an existing path is its own short name.
    return resume_next([&] {
      std::u16string p = to_u16(a[0]);
      return Variant(!p.empty() && path_exists(find_path(p)) ? p : std::u16string());
    }, Variant(u""));
  });
  m.method(u"LongName", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(long_name(to_u16(a[0]))); }, Variant(u""));
  });
  m.method(u"GetDir", [](FileObject& f, Args a) {
    return resume_next([&] {
      std::u16string pattern = to_u16(a[0]);
      if (pattern == u"-1") return Variant(f.dir_next());
      return Variant(f.dir_first(pattern, a.has(1) ? to_long(a[1]) : 0));
    }, Variant(u""));
  });
  m.method(u"Attr", [](FileObject&, Args a) {
    return resume_next([&] { return Variant(static_cast<int16_t>(file_attributes(find_path(to_u16(a[0]))))); },
                       Variant(int16_t{0}));
  });
  m.method(u"SetAttr2", [](FileObject&, Args a) {
    return resume_next([&] {
      set_file_attributes(find_path(to_u16(a[0])), to_long(a[1]));
      return Variant();
    });
  });
  m.method(u"FileDateTime2", [](FileObject&, Args a) {
    return resume_next([&] { return Variant::date(modified_date(find_path(to_u16(a[0])))); });
  });
  m.method(u"FileNew", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) {
      int fd = ::open(find_path(p).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      if (fd < 0) raise_os_error(errno);
      ::close(fd);
    });
  });
  m.method(u"FileCopy", [](FileObject&, Args a) {
    return on_two_paths(a, [](const std::u16string& s, const std::u16string& d) { copy_file(find_path(s), find_path(d)); });
  });
  m.method(u"FileMove", [](FileObject&, Args a) {
    return on_two_paths(a, [](const std::u16string& s, const std::u16string& d) { rename_file(s, d); });
  });
  m.method(u"CopyFolder", [](FileObject&, Args a) {
    return on_two_paths(a, [](const std::u16string& s, const std::u16string& d) { copy_folder(s, d); });
  });
  m.method(u"MoveFolder", [](FileObject&, Args a) {
    return on_two_paths(a, [](const std::u16string& s, const std::u16string& d) { move_folder(s, d); });
  });
  m.method(u"MoveFile", [](FileObject&, Args a) {
    return on_two_paths(a, [](const std::u16string& s, const std::u16string& d) { move_file(s, d); });
  });
  m.method(u"DeleteFolder", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) { delete_folder(p); });
  });
  m.method(u"RmDir2", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) { check(::rmdir(find_path(p).c_str())); });
  });
  m.method(u"ChDir2", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) { check(::chdir(find_path(p).c_str())); });
  });
  m.method(u"ChDrive2", [](FileObject&, Args a) {
    // No current folder per drive here: the drive's root becomes the current folder.
    return on_path(a, [](const std::u16string& p) {
      if (p.empty()) return;
      char16_t c = p[0];
      if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))) raise(68);  // "Device unavailable"
      check(::chdir(drive_root(c).c_str()));
    });
  });
  m.method(u"CurDir2", [](FileObject&, Args) {
    return resume_next([] {
      char buf[4096];
      if (!::getcwd(buf, sizeof buf)) raise_os_error(errno);
      return Variant(script_path(with_trailing_slash(buf)));
    }, Variant(u""));
  });
  m.method(u"MkDir2", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) {
      std::string os = find_path(p);
      while (os.size() > 1 && os.back() == '/') os.pop_back();
      check(::mkdir(os.c_str(), 0777));
    });
  });
  m.method(u"FileKill", [](FileObject&, Args a) {
    return on_path(a, [](const std::u16string& p) { kill_files(p); });
  });
}

}  // namespace qz
