#include "services/file/file_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "com/error.h"
#include "services/file/file_errors.h"

namespace qz {

namespace {

struct Fd {
  int fd = -1;
  ~Fd() { if (fd >= 0) ::close(fd); }
};

std::vector<std::string> entries_of(const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) raise_os_error(errno);
  while (dirent* e = ::readdir(dir.get())) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  return names;
}

std::string real_path(const std::string& path) {
  char buf[PATH_MAX];
  return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// True when `inner` is `outer` or lies below it (both must exist or have an existing parent).
bool within(const std::string& inner, const std::string& outer) {
  std::string o = real_path(outer);
  std::string i = real_path(inner);
  if (i.empty()) {
    size_t slash = inner.rfind('/');
    i = real_path(slash == std::string::npos ? "." : slash == 0 ? "/" : inner.substr(0, slash));
    if (i.empty()) return false;
    i += "/";
  }
  if (o.empty()) return false;
  return i == o || i.compare(0, o.size() + 1, o + "/") == 0 || (o == "/" && !i.empty());
}

void copy_link(const std::string& src, const std::string& dst) {
  std::vector<char> target(PATH_MAX + 1);
  ssize_t n = ::readlink(src.c_str(), target.data(), PATH_MAX);
  if (n < 0) raise_os_error(errno);
  std::string t(target.data(), static_cast<size_t>(n));
  struct stat st{};
  if (::lstat(dst.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(dst.c_str());
  if (::symlink(t.c_str(), dst.c_str()) != 0) raise_os_error(errno);
}

void copy_tree_checked(const std::string& src, const std::string& dst) {
  struct stat st{};
  if (::stat(src.c_str(), &st) != 0) raise_os_error(errno);
  if (::mkdir(dst.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0 && errno != EEXIST) raise_os_error(errno);
  struct stat dt{};
  if (::stat(dst.c_str(), &dt) != 0 || !S_ISDIR(dt.st_mode)) raise(kErrFileExists);
  for (const std::string& name : entries_of(src)) {
    std::string s = src + "/" + name, d = dst + "/" + name;
    struct stat es{};
    if (::lstat(s.c_str(), &es) != 0) raise_os_error(errno);
    if (S_ISLNK(es.st_mode)) copy_link(s, d);
    else if (S_ISDIR(es.st_mode)) copy_tree_checked(s, d);
    else copy_file(s, d);
  }
}

}  // namespace

void copy_file(const std::string& src, const std::string& dst) {
  Fd in;
  in.fd = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in.fd < 0) raise_os_error(errno);
  struct stat ss{};
  if (::fstat(in.fd, &ss) != 0) raise_os_error(errno);
  if (S_ISDIR(ss.st_mode)) raise(kErrPathAccess);
  struct stat ds{};
  if (::stat(dst.c_str(), &ds) == 0) {
    if (ds.st_dev == ss.st_dev && ds.st_ino == ss.st_ino) raise(kErrPermission);  // the same file
    if (S_ISDIR(ds.st_mode)) raise(kErrPathAccess);
  }
  Fd out;
  out.fd = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, ss.st_mode & 0777);
  if (out.fd < 0) raise_os_error(errno);
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(in.fd, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    bool failed = n < 0;
    for (ssize_t done = 0; !failed && done < n;) {
      ssize_t w = ::write(out.fd, buf.data() + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) failed = true;
      else done += w;
    }
    if (failed) {
      int err = errno ? errno : EIO;
      ::unlink(dst.c_str());
      raise_os_error(err);
    }
    if (n == 0) break;
  }
  ::fchmod(out.fd, ss.st_mode & 07777);
  timespec times[2] = {ss.st_atim, ss.st_mtim};
  ::futimens(out.fd, times);
  if (::close(out.fd) != 0) {
    out.fd = -1;
    int err = errno;
    ::unlink(dst.c_str());
    raise_os_error(err);
  }
  out.fd = -1;
}

void copy_tree(const std::string& src, const std::string& dst) {
  if (within(dst, src)) raise(kErrPermission);  // a folder copied into itself would never end
  copy_tree_checked(src, dst);
}

void remove_tree(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) raise_os_error(errno);
  if (!S_ISDIR(st.st_mode)) {
    if (::unlink(path.c_str()) != 0) raise_os_error(errno);
    return;
  }
  if ((st.st_mode & S_IRWXU) != S_IRWXU) ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
  for (const std::string& name : entries_of(path)) remove_tree(path + "/" + name);
  if (::rmdir(path.c_str()) != 0) raise_os_error(errno);
}

void move_path(const std::string& src, const std::string& dst) {
  struct stat st{};
  if (::lstat(src.c_str(), &st) != 0) raise_os_error(errno);
  struct stat dt{};
  if (::lstat(dst.c_str(), &dt) == 0) {
    if (dt.st_dev != st.st_dev || dt.st_ino != st.st_ino) raise(kErrFileExists);
    // Same file under another name (a change of case only, say): a plain rename.
  }
  if (S_ISDIR(st.st_mode) && within(dst, src)) raise(kErrPermission);
  if (::rename(src.c_str(), dst.c_str()) == 0) return;
  if (errno != EXDEV) raise_os_error(errno);
  if (S_ISLNK(st.st_mode)) copy_link(src, dst);
  else if (S_ISDIR(st.st_mode)) copy_tree_checked(src, dst);
  else copy_file(src, dst);
  remove_tree(src);
}

}  // namespace qz
