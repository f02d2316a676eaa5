#include "services/registry/registry_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "com/str.h"
#include "platform/path.h"
#include "services/registry/registry_file_format.h"

namespace qz {

namespace {

// Larger store files are refused rather than read into memory.
constexpr off_t kMaxStoreBytes = 64 << 20;

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw RegistryStoreError(what + " " + path + ": " + std::strerror(err));
}

std::string home_folder() {
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

// Creates the folder and its missing parents (mode 0700 for the new ones).
void make_folders(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i != folder.size() && folder[i] != '/') continue;
    std::string part = folder.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create", part, errno);
  }
  if (!dir_exists(folder)) fail("cannot create", folder, ENOTDIR);
}

// Reads the whole file into `out`; false when there is no such file.
bool read_file(const std::string& path, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    fail("cannot read", path, errno);
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    fail("cannot read", path, err);
  }
  if (st.st_size > kMaxStoreBytes) {
    ::close(fd);
    throw RegistryStoreError("registry store file too large: " + path);
  }
  out.clear();
  char buf[65536];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      fail("cannot read", path, err);
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
    if (out.size() > static_cast<size_t>(kMaxStoreBytes)) {
      ::close(fd);
      throw RegistryStoreError("registry store file too large: " + path);
    }
  }
  ::close(fd);
  return true;
}

// Writes `bytes` to a new file in the target's folder and renames it over the target.
void replace_file(const std::string& folder, const std::string& target, const std::string& bytes) {
  TempFile temp;
  try {
    temp = create_temp_file(folder, ".registry-", ".tmp");
  } catch (const std::system_error& e) {
    throw RegistryStoreError("cannot write " + target + ": " + e.what());
  }
  auto abandon = [&](int err) {
    if (temp.fd >= 0) ::close(temp.fd);
    ::unlink(temp.path.c_str());
    fail("cannot write", target, err);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(temp.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) abandon(n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
  if (::fsync(temp.fd) != 0) abandon(errno);
  int fd = temp.fd;
  temp.fd = -1;
  if (::close(fd) != 0) abandon(errno);
  if (::rename(temp.path.c_str(), target.c_str()) != 0) abandon(errno);
  // Make the rename itself durable.
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

RegHive parse_or_throw(const std::string& path, const std::string& bytes) {
  RegHive hive;
  std::string why;
  if (!parse_reg_hive(bytes, hive, why)) throw RegistryStoreError("damaged registry store file " + path + ", " + why);
  return hive;
}

// Holds an exclusive flock on the folder's lock file for its life.
class StoreLock {
 public:
  explicit StoreLock(const std::string& folder) {
    std::string path = folder + ".lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) fail("cannot open", path, errno);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd_);
      fail("cannot lock", path, err);
    }
  }
  ~StoreLock() { ::close(fd_); }  // closing releases the lock
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

std::string registry_folder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base = (xdg && *xdg == '/') ? std::string(xdg) : home_folder() + "/.config";
  return with_trailing_slash(base) + "quazel/registry/";
}

RegistryStore::RegistryStore(std::string folder) : folder_(with_trailing_slash(folder)) {}

std::string RegistryStore::file_of(RegRoot root) const { return folder_ + u16_to_utf8(reg_root_name(root)); }

RegHive RegistryStore::load(RegRoot root) const {
  std::string path = file_of(root), bytes;
  if (!read_file(path, bytes)) return RegHive();
  return parse_or_throw(path, bytes);
}

void RegistryStore::update(RegRoot root, const std::function<bool(RegHive&)>& change) {
  make_folders(folder_);
  StoreLock lock(folder_);
  std::string path = file_of(root), bytes;
  RegHive hive = read_file(path, bytes) ? parse_or_throw(path, bytes) : RegHive();
  if (!change(hive)) return;
  replace_file(folder_, path, format_reg_hive(hive));
}

}  // namespace qz
