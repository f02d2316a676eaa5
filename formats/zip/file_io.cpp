#include "formats/zip/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/path.h"

namespace qz {

std::optional<std::string> read_file_bytes(const std::string& os_path, uint64_t max_bytes) {
  InputFile in;
  if (!in.open(os_path) || in.size() > max_bytes) return std::nullopt;
  std::string data;
  char chunk[65536];
  for (;;) {
    int64_t n = in.read(chunk, sizeof chunk);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    if (data.size() + static_cast<uint64_t>(n) > max_bytes) return std::nullopt;  // grew while read
    data.append(chunk, static_cast<size_t>(n));
  }
  return data;
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool InputFile::open(const std::string& os_path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(os_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st;
  if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  size_ = static_cast<uint64_t>(st.st_size);
  return true;
}

int64_t InputFile::read(char* out, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t got = ::read(fd_, out + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_path_.c_str());
  }
  fd_ = -1;
}

bool ReplacingFile::open(const std::string& os_path) {
  discard();
  failed_ = false;
  target_ = os_path;
  try {
    TempFile temp = create_temp_file(parent_folder(os_path).empty() ? "./" : parent_folder(os_path), ".qz-", ".tmp");
    fd_ = temp.fd;
    temp_path_ = temp.path;
  } catch (const std::system_error&) {
    return false;
  }
  // A replaced file keeps its permissions; a new one gets the usual ones.
  mode_t mode = 0644;
  struct stat st;
  if (::lstat(os_path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = st.st_mode & 07777;
  if (::fchmod(fd_, mode) != 0) failed_ = true;
  return true;
}

bool ReplacingFile::write(std::string_view bytes) {
  if (fd_ < 0 || failed_) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReplacingFile::commit() {
  if (fd_ < 0) return false;
  if (failed_) {
    discard();
    return false;
  }
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || ::rename(temp_path_.c_str(), target_.c_str()) != 0) {
    ::unlink(temp_path_.c_str());
    return false;
  }
  return true;
}

bool replace_file_bytes(const std::string& os_path, std::string_view bytes) {
  ReplacingFile out;
  return out.open(os_path) && out.write(bytes) && out.commit();
}

}  // namespace qz
